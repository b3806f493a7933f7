#pragma once
// The format ends grouped as their source files group them, and the walk every
// format-end harness makes over one input.
#include "results/formatends.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace salvyn::fuzz {

struct FormatEndFamily {
    std::string_view name;  // the harness's name: "formatendimages", …
    std::span<const FormatEndFunction> ends;
};

std::span<const FormatEndFamily> formatEndFamilies();
const FormatEndFamily& formatEndFamily(std::string_view name);

// Runs each of `ends` over `data` as a medium that holds the file from its first byte,
// with a limit past the medium's end and one inside it. Aborts when an answer lies
// outside the limit or the medium, when anything at or past the limit is read, or when
// the walk asks for far more bytes than the medium holds.
void walkFormatEnds(std::span<const FormatEndFunction> ends, const std::uint8_t* data, std::size_t size);

} // namespace salvyn::fuzz

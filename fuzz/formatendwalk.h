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

// The fuzzer's input as a medium, noting how far and how much was asked of it.
class FuzzMedium : public ByteReader {
public:
    FuzzMedium(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    std::size_t readAt(std::uint64_t byteOffset, std::uint8_t* out, std::size_t size) override;
    std::uint64_t furthestAsked() const { return m_furthestAsked; }
    std::uint64_t bytesAsked() const { return m_bytesAsked; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::uint64_t m_furthestAsked = 0;
    std::uint64_t m_bytesAsked = 0;
};

std::span<const FormatEndFamily> formatEndFamilies();
const FormatEndFamily& formatEndFamily(std::string_view name);

// Runs each of `ends` over `data` as a medium that holds the file from its first byte,
// with a limit past the medium's end and one inside it. Aborts when an answer lies
// outside the limit or the medium, when anything at or past the limit is read, or when
// the walk asks for far more bytes than the medium holds.
void walkFormatEnds(std::span<const FormatEndFunction> ends, const std::uint8_t* data, std::size_t size);

} // namespace salvyn::fuzz

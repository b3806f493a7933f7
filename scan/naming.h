#pragma once
// Names of found files: a prefix, a number padded with zeros to five digits, a full stop
// and the type (GND00001.JPG); from 100000 on the number is printed in full. Names are
// joined from their parts, never formatted with data as the format. Any thread.
#include <cstdint>
#include <string>
#include <string_view>

namespace salvyn {

class ResultRows;

// Display name of a found file. Outside the photo mode (recoveryMode != 0) the first
// results row whose hidden type equals the prefix numbers the file as its count + 1,
// so raw names continue from the table; with no such row the given count is used.
std::string Generate_File_Name(std::uint64_t count, std::string_view prefix, std::string_view extension,
                               int recoveryMode, const ResultRows* rows);

// Thumbnail identifier of a found photo: GND (general pass) or THD (thorough pass),
// the search-wide number, a full stop and the type.
std::string Generate_File_UID_Num(std::uint64_t number, bool thorough, std::string_view extension);

// Extension of a found file's name: the text after the last '.' of its last path
// component, "" when there is none. The one rule for every found file's type.
std::string pathExtension(std::string_view name);

} // namespace salvyn

#pragma once
// The signature lists: plain-text files in the resource folder, read once at start-up
// into flat lists of texts. Seven entries make one record (record r at 7r..7r+6):
//   0 type (extension, e.g. JPG)      1 maximum file size in bytes
//   2 header as hexadecimal text      3 header position ("1", "nn" or a 1-based byte)
//   4 stored, unused                  5 description for the check list
//   6 first header byte in decimal text, derived from entry 2
// Loading is pure and may run on any thread; the lists are read-only afterwards.
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace salvyn {

using SignatureList = std::vector<std::string>;

inline constexpr std::size_t kSignatureRecordSize = 7;

// One list per mode and pass; Adv_ lists serve the thorough pass.
struct SignatureLists {
    SignatureList Ext_Array;
    SignatureList Adv_Ext_Array;
    SignatureList Video_Array;
    SignatureList Adv_Video_Array;
    SignatureList RawFile_Array;
    SignatureList Adv_RawFile_Array;
    SignatureList Audio_Array;
    SignatureList Adv_Audio_Array;
};

// Reads one list file. Lines split at '\n'; only lines holding a colon count, split at
// their first colon; six counted lines make one record. Values are trimmed of white
// space at both ends; a value holding a full stop keeps only the text after the first
// one, upper-cased (ASCII letters only: types are ASCII extensions). A line whose text
// up to its first colon is exactly "Header :" gives entry 6 from its value's first two
// characters. An unreadable file or one that is not valid UTF-8 gives an empty list and
// no message. An incomplete last group is dropped, and a type holding '/' or '.' is
// kept as written; both are reported as one line each on `warnings`.
SignatureList loadSignatureList(const std::string& path, std::ostream& warnings);

// Loads the eight lists from `resourceFolder + "/ZephExt2.dll"` and its siblings.
SignatureLists loadSignatureLists(const std::string& resourceFolder, std::ostream& warnings);

inline std::size_t recordCount(const SignatureList& list)
{
    return list.size() / kSignatureRecordSize;
}

// Entry `entry` (0..6) of record `record`; the caller keeps both in range.
inline const std::string& recordEntry(const SignatureList& list, std::size_t record, std::size_t entry)
{
    return list[record * kSignatureRecordSize + entry];
}

} // namespace salvyn

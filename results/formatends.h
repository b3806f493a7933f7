#pragma once
// Where a found file ends, read from its own structure. Each function follows one
// format forward from the file's first byte and answers the file's length in bytes,
// or none when the structure is broken, runs past the limit or the medium, or does
// not say (a streamed size). They never read at or past the reader's limit and never
// loop: every step moves forward. Any thread, one reader per call.
#include "results/formatendreader.h"

#include <cstdint>
#include <optional>

namespace salvyn {

using FormatEndFunction = std::optional<std::uint64_t> (*)(FormatEndReader& file);

// Pictures.
std::optional<std::uint64_t> jpegEnd(FormatEndReader& file);  // markers to EOI after the scan data
std::optional<std::uint64_t> pngEnd(FormatEndReader& file);   // chunks to IEND
std::optional<std::uint64_t> gifEnd(FormatEndReader& file);   // blocks to the trailer
std::optional<std::uint64_t> bmpEnd(FormatEndReader& file);   // size field, checked against the header

// Sound and video.
std::optional<std::uint64_t> riffEnd(FormatEndReader& file);      // WEBP, AVI (with its AVIX parts), WAV
std::optional<std::uint64_t> aiffEnd(FormatEndReader& file);      // FORM size
std::optional<std::uint64_t> isoMediaEnd(FormatEndReader& file);  // top-level box walk
std::optional<std::uint64_t> matroskaEnd(FormatEndReader& file);  // EBML header + Segment size
std::optional<std::uint64_t> flvEnd(FormatEndReader& file);       // tag walk
std::optional<std::uint64_t> oggEnd(FormatEndReader& file);       // pages to the last end-of-stream page
std::optional<std::uint64_t> mpegPsEnd(FormatEndReader& file);    // pack walk to the end code
std::optional<std::uint64_t> mpegTsEnd(FormatEndReader& file);    // 188-byte packets
std::optional<std::uint64_t> m2tsEnd(FormatEndReader& file);      // 192-byte timestamped packets

// Documents and archives.
std::optional<std::uint64_t> pdfEnd(FormatEndReader& file);       // last %%EOF whose startxref holds
std::optional<std::uint64_t> zipEnd(FormatEndReader& file);       // entries, central directory, end record
std::optional<std::uint64_t> sqliteEnd(FormatEndReader& file);    // page size x page count
std::optional<std::uint64_t> rar5End(FormatEndReader& file);      // header blocks to the end-of-archive block
std::optional<std::uint64_t> sevenZipEnd(FormatEndReader& file);  // start header: next header offset + size

// Office documents, programs, fonts and disk images.
std::optional<std::uint64_t> compoundFileEnd(FormatEndReader& file);    // highest sector the FAT uses
std::optional<std::uint64_t> rtfEnd(FormatEndReader& file);             // the outermost group's closing brace
std::optional<std::uint64_t> postScriptEnd(FormatEndReader& file);      // %%EOF outside embedded documents
std::optional<std::uint64_t> epsEnd(FormatEndReader& file);             // DOS binary header's parts, else as PS
std::optional<std::uint64_t> windowsProgramEnd(FormatEndReader& file);  // PE sections and certificates, DOS pages
std::optional<std::uint64_t> elfEnd(FormatEndReader& file);             // header tables, sections, segments
std::optional<std::uint64_t> outlookStoreEnd(FormatEndReader& file);    // the header's ibFileEof
std::optional<std::uint64_t> keePassEnd(FormatEndReader& file);         // KDBX 4 header and HMAC blocks
std::optional<std::uint64_t> fontEnd(FormatEndReader& file);            // last table of the sfnt directory
std::optional<std::uint64_t> fontCollectionEnd(FormatEndReader& file);  // every font's directory
std::optional<std::uint64_t> virtualPcDiskEnd(FormatEndReader& file);   // dynamic disk: last block + footer
std::optional<std::uint64_t> htmlEnd(FormatEndReader& file);            // </html>

} // namespace salvyn

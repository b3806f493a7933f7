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

// TIFF and the camera raws built on it, and pictures with layouts of their own.
std::optional<std::uint64_t> tiffEnd(FormatEndReader& file);       // every directory, value, strip and tile
std::optional<std::uint64_t> photoshopEnd(FormatEndReader& file);  // PSD and PSB sections, then the image data
std::optional<std::uint64_t> jp2End(FormatEndReader& file);        // JPEG 2000 box walk
std::optional<std::uint64_t> j2kEnd(FormatEndReader& file);        // JPEG 2000 codestream to its end marker
std::optional<std::uint64_t> jxlEnd(FormatEndReader& file);        // JPEG XL container box walk
std::optional<std::uint64_t> rafEnd(FormatEndReader& file);        // header offsets and lengths
std::optional<std::uint64_t> crwEnd(FormatEndReader& file);        // CIFF root heap to its record table
std::optional<std::uint64_t> x3fEnd(FormatEndReader& file);        // directory section and its pointer
std::optional<std::uint64_t> mrwEnd(FormatEndReader& file);        // header blocks, then the sensor data

// Sound and video.
std::optional<std::uint64_t> riffEnd(FormatEndReader& file);      // WEBP, AVI (with its AVIX parts), WAV, RF64
std::optional<std::uint64_t> aiffEnd(FormatEndReader& file);      // FORM size
std::optional<std::uint64_t> isoMediaEnd(FormatEndReader& file);  // top-level box walk
std::optional<std::uint64_t> matroskaEnd(FormatEndReader& file);  // EBML header + Segment size
std::optional<std::uint64_t> flvEnd(FormatEndReader& file);       // tag walk
std::optional<std::uint64_t> oggEnd(FormatEndReader& file);       // pages to the last end-of-stream page
std::optional<std::uint64_t> mpegPsEnd(FormatEndReader& file);    // pack walk to the end code
std::optional<std::uint64_t> mpegTsEnd(FormatEndReader& file);    // 188-byte packets
std::optional<std::uint64_t> m2tsEnd(FormatEndReader& file);      // 192-byte timestamped packets

// Sound files, and ASF for both WMA and WMV.
std::optional<std::uint64_t> mp3End(FormatEndReader& file);      // ID3 v2 tag, frame walk, appended tags
std::optional<std::uint64_t> aacEnd(FormatEndReader& file);      // ADTS frame walk, appended tags
std::optional<std::uint64_t> flacEnd(FormatEndReader& file);     // metadata blocks, frames checked by their CRCs
std::optional<std::uint64_t> midiEnd(FormatEndReader& file);     // header and track chunks, or the RIFF size of RMID
std::optional<std::uint64_t> amrEnd(FormatEndReader& file);      // frame walk by frame type (narrow and wide band)
std::optional<std::uint64_t> auEnd(FormatEndReader& file);       // data offset + data size
std::optional<std::uint64_t> cafEnd(FormatEndReader& file);      // chunk walk
std::optional<std::uint64_t> apeEnd(FormatEndReader& file);      // Monkey's Audio descriptor byte counts, appended tags
std::optional<std::uint64_t> wavPackEnd(FormatEndReader& file);  // block walk, appended tags
std::optional<std::uint64_t> asfEnd(FormatEndReader& file);      // stated file size, checked against the objects

// Documents and archives.
std::optional<std::uint64_t> pdfEnd(FormatEndReader& file);       // last %%EOF whose startxref holds
std::optional<std::uint64_t> zipEnd(FormatEndReader& file);       // entries, central directory, end record
std::optional<std::uint64_t> sqliteEnd(FormatEndReader& file);    // page size x page count
std::optional<std::uint64_t> rarEnd(FormatEndReader& file);       // RAR 4 or 5: blocks to the end-of-archive block
std::optional<std::uint64_t> sevenZipEnd(FormatEndReader& file);  // start header: next header offset + size
std::optional<std::uint64_t> cabinetEnd(FormatEndReader& file);   // cabinet size in the header
std::optional<std::uint64_t> tarEnd(FormatEndReader& file);       // headers and data to the two zero blocks

// Compressed streams, decompressed by their libraries to the last stream's end.
std::optional<std::uint64_t> gzipEnd(FormatEndReader& file);   // members back to back
std::optional<std::uint64_t> bzip2End(FormatEndReader& file);  // streams back to back
std::optional<std::uint64_t> xzEnd(FormatEndReader& file);     // streams and the padding between them
std::optional<std::uint64_t> zstdEnd(FormatEndReader& file);   // frames, skippable ones too

// Video formats beyond the common containers.
std::optional<std::uint64_t> realMediaEnd(FormatEndReader& file);  // chunk walk from the .RMF header
std::optional<std::uint64_t> mxfEnd(FormatEndReader& file);        // KLV walk to the footer partition and RIP
std::optional<std::uint64_t> swfEnd(FormatEndReader& file);        // file length, or the compressed data's end
std::optional<std::uint64_t> mpegVideoEnd(FormatEndReader& file);  // start codes to the sequence end code

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

#include "samplefiles.h"

#include "scantestsupport.h"

#include <stdexcept>

namespace salvyn::test {
namespace {

constexpr std::size_t kBuiltSampleBytes = 3 * 512;

std::string ascii(const std::string& text)
{
    static const char* digits = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : text) {
        hex += digits[c >> 4];
        hex += digits[c & 15];
    }
    return hex;
}

std::string zeros(int count)
{
    return std::string(static_cast<std::size_t>(count) * 2, '0');
}

// A JPEG whose APP0 (JFIF) segment is replaced by `segmentHex` (nothing for an empty text),
// so the file starts with another first marker.
std::function<std::vector<std::uint8_t>(std::vector<std::uint8_t>)> firstJpegSegment(std::string segmentHex)
{
    return [segmentHex](std::vector<std::uint8_t> jpeg) {
        if (jpeg.size() < 6 || jpeg[2] != 0xFF || jpeg[3] != 0xE0)
            throw std::runtime_error("the encoder's JPEG does not start with a JFIF segment");
        const std::size_t app0End = 4 + (std::size_t{jpeg[4]} << 8 | jpeg[5]);
        const auto segment = hexBytes(segmentHex);
        std::vector<std::uint8_t> changed(jpeg.begin(), jpeg.begin() + 2);
        changed.insert(changed.end(), segment.begin(), segment.end());
        changed.insert(changed.end(), jpeg.begin() + static_cast<std::ptrdiff_t>(app0End), jpeg.end());
        return changed;
    };
}

SampleFile encoded(std::string label, int mode, std::string type, std::string pass, std::string requirement,
                   std::string command, std::string output)
{
    return {std::move(label), mode, std::move(type), std::move(pass), std::move(requirement),
            std::move(command), std::move(output), {}, {}};
}

SampleFile built(std::string label, int mode, std::string type, std::string pass, std::string leadingHex)
{
    return {std::move(label), mode, std::move(type), std::move(pass), {}, {}, {}, {}, std::move(leadingHex)};
}

const std::string kPicture = "convert -size 96x64 gradient:red-blue ";
const std::string kMovie = "ffmpeg -v error -y -f lavfi -i testsrc=size=160x120:rate=25 -f lavfi -i sine=r=44100 "
                           "-t 1 -shortest -pix_fmt yuv420p ";
const std::string kSound = "ffmpeg -v error -y -f lavfi -i sine=r=44100:d=1 ";
const std::string kSoxTone = "sox -n -r 44100 -c 2 ";
const std::string kText = "printf 'Lost and found\\n' > note.txt && ";

void addPhotos(std::vector<SampleFile>& samples)
{
    auto picture = [&](std::string label, std::string type, std::string pass, std::string target, std::string output) {
        samples.push_back(encoded(std::move(label), 0, std::move(type), std::move(pass), "convert",
                                  kPicture + target, std::move(output)));
    };
    picture("JpegJfif", "JPG", "GEN", "x.jpg", "x.jpg");
    picture("Png", "PNG", "GEN", "x.png", "x.png");
    picture("Gif89a", "GIF", "GEN", "x.gif", "x.gif");
    picture("Gif87a", "GIF", "GEN", "GIF87:x.gif", "x.gif");
    picture("BmpVersion5", "BMP", "GEN", "x.bmp", "x.bmp");
    picture("Bmp24Bit", "BMP", "GEN", "BMP3:x.bmp", "x.bmp");
    picture("Bmp256Colours", "BMP", "GEN", "-type palette BMP3:x.bmp", "x.bmp");
    picture("Bmp16Colours", "BMP", "GEN", "-colors 16 -type palette BMP3:x.bmp", "x.bmp");
    picture("BmpBlackAndWhite", "BMP", "GEN", "-type bilevel BMP3:x.bmp", "x.bmp");
    picture("BmpOs2", "BMP", "THD", "BMP2:x.bmp", "x.bmp");
    picture("TiffLittleEndian", "TIF", "GEN", "x.tif", "x.tif");
    picture("TiffBigEndian", "TIF", "GEN", "-define tiff:endian=msb x.tif", "x.tif");
    picture("BigTiff", "TIF", "GEN", "TIFF64:x.tif", "x.tif");
    picture("WebP", "WEBP", "GEN", "x.webp", "x.webp");
    picture("Heic", "HEIC", "GEN", "x.heic", "x.heic");
    picture("Avif", "AVIF", "GEN", "x.avif", "x.avif");
    picture("Photoshop", "PSD", "GEN", "x.psd", "x.psd");
    picture("PhotoshopLarge", "PSB", "GEN", "PSB:x.psb", "x.psb");
    picture("Jpeg2000", "JP2", "GEN", "x.jp2", "x.jp2");
    picture("Jpeg2000Codestream", "J2K", "THD", "x.j2k", "x.j2k");

    // JPEGs with another first segment: the encoder's JPEG with its JFIF segment swapped.
    auto jpeg = [&](std::string label, std::string pass, std::string segmentHex) {
        auto sample = encoded(std::move(label), 0, "JPG", std::move(pass), "convert", kPicture + "x.jpg", "x.jpg");
        sample.adjust = firstJpegSegment(std::move(segmentHex));
        samples.push_back(std::move(sample));
    };
    // EXIF APP1 per CIPA DC-008: "Exif\0\0", a big-endian TIFF header, IFD0 with Orientation.
    jpeg("JpegExif", "GEN", "FFE1 0022" + ascii("Exif") + "0000 4D4D002A 00000008 0001 0112 0003 00000001 00010000 00000000");
    jpeg("JpegWithoutMetadata", "THD", "");
    // Adobe APP14: "Adobe", version 100, flags, colour transform 1.
    jpeg("JpegAdobe", "THD", "FFEE 000E" + ascii("Adobe") + "0064 0000 0000 01");

    // Camera raw files, none of which a Debian encoder writes.
    // Canon CR2 (Canon's CR2 description): TIFF header with IFD0 at 16, "CR", version 2.0, raw IFD offset.
    samples.push_back(built("CanonCr2", 0, "CR2", "GEN",
                            "49492A00 10000000 4352 0200 00000000 0E00 0001 0300 0100 0000 6014 0000"));
    // Canon CRW (CIFF 1.0r4): byte order, header length 26, "HEAPCCDR", version 1.2.
    samples.push_back(built("CanonCrw", 0, "CRW", "GEN", "4949 1A000000" + ascii("HEAPCCDR") + "02000100 0000000000000000"));
    // Canon CR3: ISO base media, ftyp brand "crx " with compatible brands crx and isom, then moov.
    samples.push_back(built("CanonCr3", 0, "CR3", "GEN",
                            "00000018" + ascii("ftypcrx ") + "00000001" + ascii("crx isom") + "00005E10" + ascii("moov")));
    // Nikon NEF: big-endian TIFF, IFD0 at 8 holding the 160x120 preview (NewSubfileType 1).
    samples.push_back(built("NikonNef", 0, "NEF", "GEN",
                            "4D4D002A 00000008 001C 00FE 0004 00000001 00000001 0100 0004 00000001 000000A0"
                            " 0101 0004 00000001 00000078"));
    // Adobe DNG 1.4: little-endian TIFF, IFD0 is the preview (NewSubfileType 1), DNGVersion later.
    samples.push_back(built("AdobeDng", 0, "DNG", "GEN",
                            "49492A00 08000000 1600 FE00 0400 01000000 01000000 0001 0400 01000000 00010000"));
    // Olympus ORF: TIFF with the magic "RO"; older models "RS"; big-endian "OR".
    samples.push_back(built("OlympusOrf", 0, "ORF", "GEN", "4949524F 08000000 1000 FE00 0400 01000000 00000000"));
    samples.push_back(built("OlympusOrfBigEndian", 0, "ORF", "GEN", "4D4D4F52 00000008 0010 00FE 0004 00000001"));
    // Panasonic RW2: TIFF with the magic 0x55, first IFD at byte 24.
    samples.push_back(built("PanasonicRw2", 0, "RW2", "GEN", "49495500 18000000" + zeros(16) + "1A00 0100 0300 0100"));
    // Fujifilm RAF: 16-byte magic, format version "0201", camera id and model name.
    samples.push_back(built("FujifilmRaf", 0, "RAF", "GEN", ascii("FUJIFILMCCD-RAW 0201FF389501X-T3") + zeros(28)));
    // Sigma X3F: "FOVb", version 2.3, a 16-byte identifier, mark bits, columns, rows.
    samples.push_back(built("SigmaX3f", 0, "X3F", "GEN", ascii("FOVb") + "03000200" + "0123456789ABCDEF0123456789ABCDEF"
                            + "00000000 A00F0000 A80A0000"));
    // Minolta MRW: "\0MRM", data offset, then the "\0PRD" block with its length.
    samples.push_back(built("MinoltaMrw", 0, "MRW", "GEN", "004D524D 00000B88 00505244 00000018" + ascii("21810002")));
    // JPEG XL: the 12-byte signature box of the container (ISO/IEC 18181-2), then ftyp "jxl ".
    samples.push_back(built("JpegXl", 0, "JXL", "GEN", "0000000C 4A584C20 0D0A870A 00000014" + ascii("ftypjxl ")));
    // HEIF sequences and AVIF animations: ftyp boxes with the sequence brands (ISO/IEC 23008-12).
    samples.push_back(built("HeifSequence", 0, "HEIC", "THD", "0000001C" + ascii("ftypmsf1") + "00000000" + ascii("msf1hevcmiaf")));
    samples.push_back(built("AvifAnimation", 0, "AVIF", "THD", "0000001C" + ascii("ftypavis") + "00000000" + ascii("avismsf1miaf")));
}

void addVideos(std::vector<SampleFile>& samples)
{
    auto movie = [&](std::string label, std::string type, std::string pass, std::string options) {
        samples.push_back(encoded(std::move(label), 1, std::move(type), std::move(pass), "ffmpeg", kMovie + options,
                                  options.substr(options.rfind(' ') + 1)));
    };
    movie("Mp4", "MP4", "GEN", "x.mp4");
    movie("Mp4Brand42", "MP4", "GEN", "-brand mp42 x.mp4");
    movie("Mp4FastStart", "MP4", "GEN", "-movflags faststart x.mp4");
    movie("QuickTime", "MOV", "GEN", "x.mov");
    movie("M4v", "M4V", "GEN", "x.m4v");
    movie("ThreeGpp", "3GP", "GEN", "-s 176x144 -c:v h263 -c:a aac -ar 8000 -ac 1 x.3gp");
    movie("ThreeGpp2", "3G2", "GEN", "-s 176x144 -c:v h263 -c:a aac -ar 8000 -ac 1 x.3g2");
    movie("Avi", "AVI", "GEN", "x.avi");
    movie("Matroska", "MKV", "GEN", "x.mkv");
    movie("WebM", "WEBM", "GEN", "-c:v libvpx -c:a libvorbis x.webm");
    movie("Flv", "FLV", "GEN", "x.flv");
    movie("FlvWithoutSound", "FLV", "GEN", "-an x.flv");
    movie("Wmv", "WMV", "GEN", "x.wmv");
    movie("Asf", "WMV", "GEN", "x.asf");
    movie("Mpeg1", "MPG", "GEN", "x.mpg");
    movie("Mpeg2Program", "MPG", "GEN", "-c:v mpeg2video -c:a mp2 -f vob x.mpg");
    movie("Mxf", "MXF", "GEN", "-c:v mpeg2video -c:a pcm_s16le -ar 48000 x.mxf");
    movie("RealMedia", "RM", "GEN", "-s 160x112 -c:v rv10 -c:a ac3 x.rm");
    movie("Flash", "SWF", "THD", "-c:v flv1 -c:a libmp3lame x.swf");
    movie("TransportStream", "TS", "THD", "x.ts");
    movie("BluRayStream", "M2TS", "THD", "x.m2ts");

    // DVD-Video navigation pack: MPEG-2 pack header at SCR 0 and DVD mux rate, the system
    // header of 18 bytes, then the PCI packet (private stream 2, 980 bytes) of block 0.
    samples.push_back(built("DvdVob", 1, "VOB", "GEN",
                            "000001BA 4400040004 01 0189C3 F8 000001BB 0012 80C4E1 00E1FF B9E0E8 B8C020 BDE03A BFE002"
                            " 000001BF 03D4 00 00000000"));
    // AVCHD (BDAV MPEG-2 transport): a 4-byte arrival time stamp, then the first packet with
    // the program association table of one program.
    samples.push_back(built("AvchdMts", 1, "MTS", "THD",
                            "00000000 47400010 00 00B00D 0001 C1 00 00 0001 E100 E8F95E7D"));
    // QuickTime files from before the type box: a wide atom then media data, or the movie
    // atom first with its 108-byte header.
    samples.push_back(built("QuickTimeWide", 1, "MOV", "THD", "00000008" + ascii("wide") + "0004A3B2" + ascii("mdat")));
    samples.push_back(built("QuickTimeMovieFirst", 1, "MOV", "THD", "000003E8" + ascii("moov") + "0000006C" + ascii("mvhd")
                            + "00000000 B8E9A1C2 B8E9A1C2 00000258 00000BB8"));
}

void addSounds(std::vector<SampleFile>& samples)
{
    auto sound = [&](std::string label, std::string type, std::string pass, std::string options) {
        samples.push_back(encoded(std::move(label), 3, std::move(type), std::move(pass), "ffmpeg", kSound + options,
                                  options.substr(options.rfind(' ') + 1)));
    };
    sound("Mp3Id3v24", "MP3", "GEN", "x.mp3");
    sound("Mp3Id3v23", "MP3", "GEN", "-id3v2_version 3 x.mp3");
    sound("Mp3InfoStereo", "MP3", "THD", "-ac 2 -id3v2_version 0 x.mp3");
    sound("Mp3InfoMono", "MP3", "THD", "-id3v2_version 0 x.mp3");
    sound("Mp3XingStereo", "MP3", "THD", "-ac 2 -q:a 4 -id3v2_version 0 x.mp3");
    sound("Mp3BareFrames", "MP3", "THD", "-ac 2 -write_xing 0 -id3v2_version 0 x.mp3");
    sound("Wav", "WAV", "GEN", "x.wav");
    sound("WavJunkFirst", "WAV", "GEN", "-rf64 auto x.wav");
    sound("Rf64", "WAV", "GEN", "-rf64 always x.wav");
    sound("Flac", "FLAC", "GEN", "x.flac");
    sound("OggVorbis", "OGG", "GEN", "-c:a libvorbis x.ogg");
    sound("Opus", "OPUS", "GEN", "-c:a libopus x.opus");
    sound("M4a", "M4A", "GEN", "x.m4a");
    sound("M4b", "M4B", "GEN", "-brand 'M4B ' x.m4b");
    sound("M4aBrand42", "M4A", "THD", "-brand mp42 x.m4a");
    sound("M4aIsoBrand", "M4A", "THD", "-f mp4 x.m4a");
    sound("AacAdts44k", "AAC", "THD", "x.aac");
    sound("AacAdts48k", "AAC", "THD", "-ar 48000 x.aac");
    sound("Wma", "WMA", "GEN", "x.wma");
    sound("Aiff", "AIFF", "GEN", "x.aiff");
    sound("WavPack", "WV", "GEN", "x.wv");
    sound("SunAudio", "AU", "GEN", "x.au");
    sound("CoreAudio", "CAF", "GEN", "x.caf");
    auto tone = [&](std::string label, std::string type, std::string output) {
        samples.push_back(encoded(std::move(label), 3, std::move(type), "GEN", "sox",
                                  kSoxTone + output + " synth 1 sine 440", output));
    };
    tone("SoxWav", "WAV", "x.wav");
    tone("SoxFlac", "FLAC", "x.flac");
    tone("SoxOgg", "OGG", "x.ogg");
    tone("SoxAiff", "AIFF", "x.aiff");
    tone("SoxAifc", "AIFF", "x.aifc");
    tone("SoxSunAudio", "AU", "x.au");

    // ID3v2.2 (id3.org, ID3 tag version 2.2): "ID3", version 2.0, size, a TT2 frame, then an MP3 frame.
    samples.push_back(built("Mp3Id3v22", 3, "MP3", "GEN", "494433 0200 00 0000000B" + ascii("TT2") + "000005 00" + ascii("Song")
                            + "FFFB9064"));
    // Broadcast WAV (EBU Tech 3285) with its bext chunk first, and a WAV with a LIST chunk first.
    samples.push_back(built("BroadcastWav", 3, "WAV", "GEN", ascii("RIFF") + "24B00000" + ascii("WAVEbext") + "5A020000"
                            + ascii("Field recording")));
    samples.push_back(built("WavListFirst", 3, "WAV", "GEN", ascii("RIFF") + "24B00000" + ascii("WAVELIST") + "1A000000"
                            + ascii("INFOISFT") + "0E000000" + ascii("Lavf60.3.100")));
    // FLAC whose stream information is its only metadata block (last-block flag set).
    samples.push_back(built("FlacWithoutTags", 3, "FLAC", "GEN", ascii("fLaC") + "80000022 1000 1000 00000E 0010E3 0AC440F0 0000AC44"));
    // MPEG-2 ADTS (ISO/IEC 13818-7): sync with ID 1, AAC LC at 44100 Hz, stereo.
    samples.push_back(built("AacMpeg2Adts", 3, "AAC", "THD", "FFF950 80 2E7F FC 211A"));
    // AMR and AMR-WB storage format (RFC 4867 section 5): magic line, then frames.
    samples.push_back(built("AmrNarrowBand", 3, "AMR", "GEN", ascii("#!AMR\n") + "3C 48F51F96 6679E1E0 01E7CFF0"));
    samples.push_back(built("AmrWideBand", 3, "AMR", "GEN", ascii("#!AMR-WB\n") + "44 F1FE0F2E 5A1C5E67"));
    // Standard MIDI file: header chunk of length 6 (format 0, one track, 96 ticks), one track.
    samples.push_back(built("Midi", 3, "MID", "GEN", ascii("MThd") + "00000006 0000 0001 0060" + ascii("MTrk")
                            + "0000000B 00FF5103 07A120 00FF2F00"));
    // RIFF MIDI: form type RMID and a data chunk holding the standard MIDI file.
    samples.push_back(built("RiffMidi", 3, "MID", "THD", ascii("RIFF") + "2A000000" + ascii("RMIDdata") + "1E000000"
                            + ascii("MThd") + "00000006 0000 0001 0060"));
    // Monkey's Audio 3.99: "MAC ", version 3990, then the 52-byte descriptor.
    samples.push_back(built("MonkeysAudio", 3, "APE", "GEN", ascii("MAC ") + "960F 0000 34000000 18000000 04000000"));
}

void addOtherFiles(std::vector<SampleFile>& samples)
{
    auto file = [&](std::string label, std::string type, std::string pass, std::string tool, std::string command,
                    std::string output) {
        samples.push_back(encoded(std::move(label), 2, std::move(type), std::move(pass), std::move(tool),
                                  std::move(command), std::move(output)));
    };
    file("Zip", "ZIP", "GEN", "zip", kText + "zip -q x.zip note.txt", "x.zip");
    file("Gzip", "GZ", "GEN", "gzip", kText + "gzip -c note.txt > x.gz", "x.gz");
    file("GzipWithoutName", "GZ", "GEN", "gzip", kText + "gzip -n -c note.txt > x.gz", "x.gz");
    file("Bzip2", "BZ2", "GEN", "bzip2", kText + "bzip2 -c note.txt > x.bz2", "x.bz2");
    file("Xz", "XZ", "GEN", "xz", kText + "xz -c note.txt > x.xz", "x.xz");
    file("Zstandard", "ZST", "GEN", "zstd", kText + "zstd -q -c note.txt > x.zst", "x.zst");
    file("SevenZip", "7Z", "GEN", "7z", kText + "7z a -bd x.7z note.txt", "x.7z");
    file("TarGnu", "TAR", "THD", "tar", kText + "tar cf x.tar note.txt", "x.tar");
    file("TarPosix", "TAR", "THD", "tar", kText + "tar --format=posix -cf x.tar note.txt", "x.tar");
    file("Sqlite", "SQLITE", "GEN", "sqlite3", "sqlite3 x.sqlite 'create table t(a); insert into t values(1);'",
         "x.sqlite");
    file("Pdf", "PDF", "GEN", "gs", "gs -q -sDEVICE=pdfwrite -o x.pdf -c showpage", "x.pdf");
    file("PostScript", "PS", "GEN", "gs", "gs -q -sDEVICE=ps2write -o x.ps -c showpage", "x.ps");
    file("EncapsulatedPostScript", "PS", "GEN", "gs", "gs -q -sDEVICE=eps2write -o x.eps -c showpage", "x.eps");
    file("ElfProgram", "ELF", "GEN", "/bin/ls", "head -c 65536 /bin/ls > x.elf", "x.elf");
    file("TrueTypeFont", "TTF", "THD", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
         "cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf x.ttf", "x.ttf");
    file("OpenTypeFont", "OTF", "GEN", "/usr/share/fonts/opentype/urw-base35/C059-Roman.otf",
         "cp /usr/share/fonts/opentype/urw-base35/C059-Roman.otf x.otf", "x.otf");
    // Office Open XML (ECMA-376 part 2): [Content_Types].xml is the package's first member.
    file("OfficeOpenXml", "DOCX", "GEN", "zip",
         "mkdir -p _rels word && printf '<?xml version=\"1.0\"?><Types/>' > '[Content_Types].xml'"
         " && printf '<Relationships/>' > _rels/.rels && printf '<w:document/>' > word/document.xml"
         " && zip -q -X x.docx '[Content_Types].xml' _rels/.rels word/document.xml",
         "x.docx");
    // OpenDocument (ODF 1.2 part 3) and EPUB (OCF 3.0): the media type stored first, uncompressed.
    auto package = [&](std::string label, std::string type, std::string mediaType, std::string output) {
        file(std::move(label), std::move(type), "GEN", "zip",
             "printf '" + mediaType + "' > mimetype && printf '<content/>' > content.xml && zip -q -X -0 " + output
                 + " mimetype && zip -q -X " + output + " content.xml",
             output);
    };
    package("OpenDocumentText", "ODT", "application/vnd.oasis.opendocument.text", "x.odt");
    package("OpenDocumentSpreadsheet", "ODS", "application/vnd.oasis.opendocument.spreadsheet", "x.ods");
    package("OpenDocumentPresentation", "ODP", "application/vnd.oasis.opendocument.presentation", "x.odp");
    package("OpenDocumentDrawing", "ODG", "application/vnd.oasis.opendocument.graphics", "x.odg");
    package("Epub", "EPUB", "application/epub+zip", "x.epub");

    auto other = [&](std::string label, std::string type, std::string pass, std::string leadingHex) {
        samples.push_back(built(std::move(label), 2, std::move(type), std::move(pass), std::move(leadingHex)));
    };
    // PDF 2.0 (ISO 32000-2): header line and a binary comment line.
    other("Pdf20", "PDF", "GEN", ascii("%PDF-2.0\n%") + "E2E3CFD3 0A" + ascii("1 0 obj\n<</Type/Catalog>>\nendobj\n"));
    // Compound file (MS-CFB): signature, zero CLSID, minor 0x3E, major 3 or 4, byte order,
    // sector shift 9 or 12, mini sector shift 6, then the sector counts and chains.
    const std::string cfbTail = "0600 000000000000 00000000 01000000 01000000 00000000 00100000 FEFFFFFF 00000000"
                                " FEFFFFFF 00000000 00000000";
    other("CompoundFile", "DOC", "GEN", "D0CF11E0A1B11AE1" + zeros(16) + "3E00 0300 FEFF 0900" + cfbTail);
    other("CompoundFileVersion4", "DOC", "GEN", "D0CF11E0A1B11AE1" + zeros(16) + "3E00 0400 FEFF 0C00" + cfbTail);
    // Access (Jet 4 and ACE): page header, engine name, then the version.
    other("AccessMdb", "MDB", "GEN", "00010000" + ascii("Standard Jet DB") + "00 01000000");
    other("AccessAccdb", "ACCDB", "GEN", "00010000" + ascii("Standard ACE DB") + "00 02000000");
    // RAR 4 (RAR technote): marker block and archive header; RAR 5: signature and main header.
    other("Rar4", "RAR", "GEN", "526172211A0700 CF90 73 0000 0D00 00000000000000");
    other("Rar5", "RAR", "GEN", "526172211A070100 3392B5E5 0A 01 05 06 00 05 01 01 80 80 00");
    // Microsoft cabinet (MS-CAB): "MSCF", reserved, size, offset of the first file, version 1.3.
    other("Cabinet", "CAB", "GEN", ascii("MSCF") + "00000000 7E000000 00000000 2C000000 00000000 0301 0100 0100 0000");
    // KeePass 2 database: the two signatures and file version 4.0.
    other("KeePass", "KDBX", "GEN", "03D9A29A 67FB4BB5 00000400 02100000 0031C1F2 E6BF7150 4C");
    // Outlook PST (MS-PST): "!BDN", header CRC, "SM", Unicode version 23, client version 19.
    other("OutlookPst", "PST", "GEN", ascii("!BDN") + "5A3F1C22" + ascii("SM") + "1700 1300 01 01 0000");
    other("RichText", "RTF", "GEN", ascii("{\\rtf1\\ansi\\deff0 {\\fonttbl{\\f0 Times;}}\\f0 Lost and found\\par }"));
    // DOS EPS binary header (Adobe TN 5002): magic, PostScript offset and length.
    other("EpsWithPreview", "EPS", "GEN", "C5D0D3C6 1E000000 D2040000 00000000 00000000 F0040000 00100000 FFFF");
    // PE/COFF: the DOS header the linkers write, e_lfanew 0x80, the DOS stub, then "PE\0\0".
    other("WindowsProgram", "EXE", "GEN", "4D5A9000 03000000 04000000 FFFF0000 B8000000 00000000 40000000" + zeros(32)
                                            + "80000000 0E1FBA0E00B409CD21B8014CCD21"
                                            + ascii("This program cannot be run in DOS mode.\r\r\n$") + zeros(7)
                                            + "50450000 4C010300");
    other("DelphiProgram", "EXE", "THD", "4D5A5000 02000000 04000F00 FFFF0000 B8000000 00000000 40001A00" + zeros(32)
                                           + "00010000");
    // ELF (System V ABI): 32-bit little-endian i386 executable.
    other("Elf32", "ELF", "GEN", "7F454C46 010101 00 0000000000000000 0200 0300 01000000 54800408 34000000");
    // TrueType collection (as the OpenType format describes it): "ttcf", version 2.0, two fonts and their offsets.
    other("TrueTypeCollection", "TTC", "GEN", ascii("ttcf") + "00020000 00000002 00000014 00000120");
    // Apple TrueType: the "true" scaler type.
    other("AppleTrueType", "TTF", "THD", ascii("true") + "000C 0080 0003 0040" + ascii("cmap"));
    // VMware sparse extent (Virtual Disk Format 1.1): magic, version 1, flags, capacity, grain size.
    other("VmwareSparse", "VMDK", "GEN", ascii("KDMV") + "01000000 03000000 00A00F0000000000 8000000000000000");
    other("VmwareDescriptor", "VMDK", "GEN", ascii("# Disk DescriptorFile\nversion=1\nCID=fffffffe\n"
                                                   "createType=\"monolithicFlat\"\n"));
    // Virtual PC dynamic disk (as the VHD format describes it): the footer copy at offset 0.
    other("VirtualPcDisk", "VHD", "GEN", ascii("conectix") + "00000002 00010000 0000000000000200 2A3B4C5D" + ascii("qemu"));
    // Hyper-V (MS-VHDX): file type identifier and creator in UTF-16.
    other("HyperVDisk", "VHDX", "GEN", ascii("vhdxfile") + "4D006900 63007200 6F007300 6F006600 7400");
    // QEMU qcow2: magic, version 3, no backing file, cluster bits 16.
    other("QemuDisk", "QCOW2", "GEN", "514649FB 00000003 0000000000000000 00000000 00000010");
    // gzip (RFC 1952) with an extra field, as BGZF writes, and with a comment.
    other("GzipExtraField", "GZ", "THD", "1F8B0804 00000000 00FF 0600 4243 0200 1B00");
    other("GzipComment", "GZ", "THD", "1F8B0810 00000000 0003" + ascii("Backup") + "00");
    other("WebPage", "HTML", "THD", ascii("<!DOCTYPE html>\n<html><head><title>Notes</title></head></html>\n"));
    other("WebPageLowerCase", "HTML", "THD", ascii("<!doctype html>\n<html lang=\"en\"></html>\n"));
    other("XmlDocument", "XML", "THD", ascii("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<notes/>\n"));
}

} // namespace

std::vector<std::uint8_t> fillerBytes(std::size_t count)
{
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t k = 0; k < count; ++k)
        bytes[k] = static_cast<std::uint8_t>(0x11 + 2 * (k % 64));
    return bytes;
}

std::vector<std::uint8_t> builtSampleBytes(const SampleFile& sample)
{
    auto bytes = hexBytes(sample.leadingHex);
    if (bytes.size() < kBuiltSampleBytes) {
        const auto filler = fillerBytes(kBuiltSampleBytes);
        bytes.insert(bytes.end(), filler.begin() + static_cast<std::ptrdiff_t>(bytes.size()), filler.end());
    }
    return bytes;
}

std::vector<SampleFile> allSampleFiles()
{
    std::vector<SampleFile> samples;
    addPhotos(samples);
    addVideos(samples);
    addSounds(samples);
    addOtherFiles(samples);
    return samples;
}

} // namespace salvyn::test

#include "formatendsamples.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <sstream>
#include <stdexcept>

namespace salvyn::test {

namespace {

const std::string kVideo = "ffmpeg -v error -y -f lavfi -i testsrc=size=64x48:rate=25:duration=1 "
                           "-f lavfi -i sine=frequency=440:duration=1 ";
const std::string kAudio = "ffmpeg -v error -y -f lavfi -i sine=frequency=440:duration=1 ";
// Archive inputs: text that compresses well and gzip output that does not.
const std::string kArchiveInputs = "seq 1 4000 > a.txt && seq 1 7 200000 | gzip -n -1 > b.gz && ";

const std::vector<SampleRecipe> kRecipes = {
    {"Jpeg", "JPG", "convert", "convert -size 96x64 gradient:red-blue -quality 85 jpg:out"},
    {"JpegProgressive", "JPG", "convert", "convert -seed 7 -size 96x64 plasma:fractal -interlace Plane jpg:out"},
    {"Png", "PNG", "convert", "convert -size 96x64 gradient:red-blue png:out"},
    {"Gif", "GIF", "convert", "convert -size 64x48 gradient:red-blue gif:out"},
    {"GifAnimated", "GIF", "convert",
     "convert -delay 10 -size 16x16 xc:red xc:blue xc:green -loop 0 gif:out"},
    {"Bmp3", "BMP", "convert", "convert -size 33x17 gradient:red-blue bmp3:out"},
    {"Bmp", "BMP", "convert", "convert -size 33x17 gradient:red-blue -alpha on bmp:out"},
    {"Webp", "WEBP", "convert", "convert -size 96x64 gradient:red-blue webp:out"},
    {"Heic", "HEIC", "convert", "convert -size 64x48 gradient:red-blue heic:out"},
    {"Avi", "AVI", "ffmpeg", kVideo + "-c:v mpeg4 -c:a pcm_s16le -f avi out"},
    {"Wav", "WAV", "sox", "sox -n -r 8000 -c 1 -t wav out synth 0.5 sine 440"},
    {"Aiff", "AIFF", "sox", "sox -n -r 8000 -c 1 -t aiff out synth 0.5 sine 440"},
    {"Mp4", "MP4", "ffmpeg", kVideo + "-c:v libx264 -c:a aac -f mp4 out"},
    {"Mp4FastStart", "MP4", "ffmpeg", kVideo + "-c:v libx264 -c:a aac -movflags +faststart -f mp4 out"},
    {"Mp4Fragmented", "MP4", "ffmpeg",
     kVideo + "-c:v libx264 -c:a aac -movflags frag_keyframe+empty_moov -g 5 -f mp4 out"},
    {"Mov", "MOV", "ffmpeg", kVideo + "-c:v mpeg4 -c:a aac -f mov out"},
    {"M4v", "M4V", "ffmpeg", kVideo + "-c:v libx264 -c:a aac -f ipod out"},
    {"M4a", "M4A", "ffmpeg", kAudio + "-c:a aac -f ipod out"},
    {"ThreeGp", "3GP", "ffmpeg", kVideo + "-c:v mpeg4 -c:a aac -f 3gp out"},
    {"ThreeG2", "3G2", "ffmpeg", kVideo + "-c:v mpeg4 -c:a aac -f 3g2 out"},
    {"Mkv", "MKV", "ffmpeg", kVideo + "-c:v mpeg4 -c:a aac -f matroska out"},
    {"Webm", "WEBM", "ffmpeg", kVideo + "-c:v libvpx -c:a libopus -f webm out"},
    {"Flv", "FLV", "ffmpeg", kVideo + "-c:v flv1 -c:a libmp3lame -ar 22050 -f flv out"},
    {"Ogg", "OGG", "ffmpeg", kAudio + "-c:a libvorbis -f ogg out"},
    {"Opus", "OPUS", "ffmpeg", kAudio + "-c:a libopus -f opus out"},
    {"OggTheora", "OGV", "ffmpeg", kVideo + "-c:v libtheora -c:a libvorbis -f ogg out"},
    {"Mpg", "MPG", "ffmpeg", kVideo + "-c:v mpeg1video -c:a mp2 -f mpeg out"},
    {"Vob", "VOB", "ffmpeg", kVideo + "-c:v mpeg2video -c:a ac3 -f vob out"},
    {"Ts", "TS", "ffmpeg", kVideo + "-c:v mpeg2video -c:a mp2 -f mpegts out"},
    {"M2ts", "M2TS", "ffmpeg", kVideo + "-c:v mpeg2video -c:a mp2 -f mpegts -mpegts_m2ts_mode 1 out"},
    {"Pdf", "PDF", "ps2pdf",
     "printf '%%!PS\\n/Helvetica findfont 14 scalefont setfont 72 720 moveto (Found again) show showpage\\n' "
     "> a.ps && ps2pdf a.ps out"},
    {"Zip", "ZIP", "zip gzip seq", kArchiveInputs + "zip -q -X out.zip a.txt b.gz && mv out.zip out"},
    {"ZipStreamed", "ZIP", "zip gzip seq", kArchiveInputs + "zip -q -X - a.txt b.gz > out"},
    {"Zip64", "ZIP", "zip gzip seq", kArchiveInputs + "zip -q -X -fz out.zip a.txt b.gz && mv out.zip out"},
    {"Docx", "DOCX", "zip seq",
     "mkdir -p word _rels && seq 1 500 > '[Content_Types].xml' && seq 1 900 > word/document.xml && "
     "seq 1 50 > _rels/.rels && zip -q -X -D out.zip '[Content_Types].xml' _rels/.rels word/document.xml && "
     "mv out.zip out"},
    {"Odt", "ODT", "zip seq",
     "printf 'application/vnd.oasis.opendocument.text' > mimetype && seq 1 900 > content.xml && "
     "zip -q -X -0 out.zip mimetype && zip -q -X out.zip content.xml && mv out.zip out"},
    {"Epub", "EPUB", "zip seq",
     "printf 'application/epub+zip' > mimetype && seq 1 900 > book.xhtml && "
     "zip -q -X -0 out.zip mimetype && zip -q -X out.zip book.xhtml && mv out.zip out"},
    {"Sqlite", "SQLITE", "sqlite3",
     "sqlite3 out 'create table t(a, b); insert into t values (1, randomblob(3000)); "
     "insert into t values (2, zeroblob(9000)); create index i on t(a);'"},
    {"SevenZip", "7Z", "7z gzip seq", kArchiveInputs + "7z a -bd -bso0 out.7z a.txt b.gz && mv out.7z out"},
};

std::mutex g_cacheMutex;
std::map<std::string, Sample> g_cache;

bool hasTool(const std::string& tool)
{
    if (tool.front() == '/')
        return std::filesystem::exists(tool);
    return std::system(("command -v " + tool + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

std::size_t MemoryMedium::readAt(std::uint64_t byteOffset, std::uint8_t* out, std::size_t size)
{
    m_furthestAsked = std::max(m_furthestAsked, byteOffset + size);
    if (byteOffset >= m_bytes.size())
        return 0;
    const std::size_t n = std::min<std::uint64_t>(size, m_bytes.size() - byteOffset);
    std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(byteOffset), n, out);
    return n;
}

std::span<const SampleRecipe> sampleRecipes() { return kRecipes; }

const SampleRecipe& recipeNamed(std::string_view name)
{
    auto recipe = std::find_if(kRecipes.begin(), kRecipes.end(), [&](const SampleRecipe& r) { return r.name == name; });
    if (recipe == kRecipes.end())
        throw std::invalid_argument("no sample recipe named " + std::string(name));
    return *recipe;
}

Sample runEncoder(const std::string& tools, const std::string& command)
{
    std::istringstream toolList(tools);
    for (std::string tool; toolList >> tool;)
        if (!hasTool(tool))
            return {{}, "the encoder '" + tool + "' is not installed", true};
    char pattern[] = "/tmp/salvyn-formatend-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return {{}, "no temporary folder", false};
    const std::filesystem::path folder = pattern;
    const std::string script = "cd '" + folder.string() + "' && { " + command + " ; } >/dev/null 2>&1";
    Sample sample;
    if (std::system(script.c_str()) != 0) {
        sample.skipReason = "the encoder failed: " + command;
    } else {
        std::ifstream in(folder / "out", std::ios::binary);
        sample.bytes.assign(std::istreambuf_iterator<char>(in), {});
        if (sample.bytes.empty())
            sample.skipReason = "the encoder wrote nothing: " + command;
    }
    std::filesystem::remove_all(folder);
    return sample;
}

const Sample& sampleFor(const SampleRecipe& recipe)
{
    std::lock_guard lock(g_cacheMutex);
    auto known = g_cache.find(recipe.name);
    if (known == g_cache.end())
        known = g_cache.emplace(recipe.name, runEncoder(recipe.tools, recipe.command)).first;
    return known->second;
}

std::vector<std::uint8_t> layOut(std::size_t beforeSectors, const std::vector<std::uint8_t>& file,
                                 std::size_t gapSectors, const std::vector<std::uint8_t>& follower)
{
    std::vector<std::uint8_t> medium(beforeSectors * 512, 0xA5);
    medium.insert(medium.end(), file.begin(), file.end());
    medium.resize((medium.size() + 511) / 512 * 512 + gapSectors * 512, 0);
    medium.insert(medium.end(), follower.begin(), follower.end());
    medium.resize((medium.size() + 511) / 512 * 512 + 2 * 512, 0);
    return medium;
}

} // namespace salvyn::test

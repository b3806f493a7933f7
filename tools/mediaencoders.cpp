#include "mediaencoders.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

namespace salvyn::demo {

namespace {

void put16be(Bytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value >> 8));
    out.push_back(static_cast<std::uint8_t>(value));
}

void put32be(Bytes& out, std::uint32_t value)
{
    put16be(out, value >> 16);
    put16be(out, value & 0xFFFF);
}

void put16le(Bytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void put32le(Bytes& out, std::uint32_t value)
{
    put16le(out, value & 0xFFFF);
    put16le(out, value >> 16);
}

void putText(Bytes& out, const std::string& text)
{
    out.insert(out.end(), text.begin(), text.end());
}

// Entropy-coded bits with the 0xFF byte stuffing of JPEG.
class BitWriter {
public:
    explicit BitWriter(Bytes& out) : m_out(out) {}
    void put(unsigned bits, int count)
    {
        for (int k = count - 1; k >= 0; --k) {
            m_byte = static_cast<std::uint8_t>(m_byte << 1 | ((bits >> k) & 1));
            if (++m_used == 8)
                flushByte();
        }
    }
    void finish()
    {
        while (m_used != 0)
            put(1, 1);
    }

private:
    void flushByte()
    {
        m_out.push_back(m_byte);
        if (m_byte == 0xFF)
            m_out.push_back(0x00);
        m_byte = 0;
        m_used = 0;
    }
    Bytes& m_out;
    std::uint8_t m_byte = 0;
    int m_used = 0;
};

// The standard luminance DC table: code lengths per category 0..11.
constexpr std::uint8_t kDcCounts[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};
constexpr unsigned kDcCodes[12] = {0b00, 0b010, 0b011, 0b100, 0b101, 0b110, 0b1110, 0b11110, 0b111110, 0b1111110,
                                   0b11111110, 0b111111110};
constexpr int kDcLengths[12] = {2, 3, 3, 3, 3, 3, 4, 5, 6, 7, 8, 9};
constexpr int kQuantiser = 8;

void putSegment(Bytes& out, unsigned marker, const Bytes& body)
{
    put16be(out, marker);
    put16be(out, static_cast<unsigned>(body.size() + 2));
    out.insert(out.end(), body.begin(), body.end());
}

Bytes jpegHeaders(int width, int height)
{
    Bytes out{0xFF, 0xD8};
    putSegment(out, 0xFFE0, {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0});
    // Each segment's body is made at its full size at once: growing a vector from a few bytes
    // makes GCC 12 at -O3 warn of out-of-bounds copies that cannot happen.
    Bytes quant(65, kQuantiser);
    quant[0] = 0x00; // table 0, 8-bit entries
    putSegment(out, 0xFFDB, quant);
    const auto byte = [](int value) { return static_cast<std::uint8_t>(value); };
    putSegment(out, 0xFFC0, {8, byte(height >> 8), byte(height), byte(width >> 8), byte(width), 1, 1, 0x11, 0});
    Bytes dc(1 + 16 + 12);
    dc[0] = 0x00; // DC table 0
    std::copy(kDcCounts, kDcCounts + 16, dc.begin() + 1);
    std::iota(dc.begin() + 17, dc.end(), std::uint8_t{0});
    putSegment(out, 0xFFC4, dc);
    // Only end-of-block is ever coded for the AC coefficients: one code of one bit.
    Bytes ac(1 + 16 + 1, 0);
    ac[0] = 0x10; // AC table 0
    ac[1] = 1;
    putSegment(out, 0xFFC4, ac);
    putSegment(out, 0xFFDA, {1, 1, 0x00, 0, 63, 0});
    return out;
}

} // namespace

Bytes makeJpeg(int width, int height, int seed)
{
    Bytes out = jpegHeaders(width, height);
    BitWriter bits(out);
    int previous = 0;
    for (int by = 0; by < height / 8; ++by) {
        for (int bx = 0; bx < width / 8; ++bx) {
            const double brightness = 128 + 100 * std::sin((bx + seed) * 0.6) * std::cos((by - seed) * 0.45);
            // DC of the 2-D DCT is 8 times the block's mean level shift.
            const int dc = static_cast<int>(std::lround((brightness - 128) * 8 / kQuantiser));
            const int diff = dc - previous;
            previous = dc;
            int category = 0;
            for (int magnitude = std::abs(diff); magnitude > 0; magnitude >>= 1)
                ++category;
            bits.put(kDcCodes[category], kDcLengths[category]);
            if (category > 0)
                bits.put(static_cast<unsigned>(diff >= 0 ? diff : diff + (1 << category) - 1), category);
            bits.put(0, 1); // end of block
        }
    }
    bits.finish();
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
}

namespace {

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0)
{
    crc = ~crc;
    for (std::size_t k = 0; k < size; ++k) {
        crc ^= data[k];
        for (int bit = 0; bit < 8; ++bit)
            crc = crc >> 1 ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void putChunk(Bytes& out, const char* type, const Bytes& data)
{
    put32be(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    putText(out, type);
    out.insert(out.end(), data.begin(), data.end());
    put32be(out, crc32(out.data() + typeAt, out.size() - typeAt));
}

// zlib stream of stored deflate blocks.
Bytes storedZlib(const Bytes& raw)
{
    Bytes out{0x78, 0x01};
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    for (std::size_t at = 0; at < raw.size() || at == 0;) {
        const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
        out.push_back(at + length == raw.size() ? 1 : 0);
        put16le(out, static_cast<unsigned>(length));
        put16le(out, static_cast<unsigned>(~length & 0xFFFF));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                   raw.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += length;
        if (length == 0)
            break;
    }
    put32be(out, b << 16 | a);
    return out;
}

} // namespace

Bytes makePng(int width, int height)
{
    Bytes out{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes header;
    put32be(header, static_cast<std::uint32_t>(width));
    put32be(header, static_cast<std::uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});
    putChunk(out, "IHDR", header);
    Bytes raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0); // no filter
        for (int x = 0; x < width; ++x)
            raw.insert(raw.end(), {static_cast<std::uint8_t>(255 * x / width), static_cast<std::uint8_t>(255 * y / height),
                                   static_cast<std::uint8_t>(128)});
    }
    putChunk(out, "IDAT", storedZlib(raw));
    putChunk(out, "IEND", {});
    return out;
}

Bytes makeWav(int sampleRate, double seconds, double frequency)
{
    const auto samples = static_cast<std::uint32_t>(sampleRate * seconds);
    Bytes out;
    putText(out, "RIFF");
    put32le(out, 36 + samples * 2);
    putText(out, "WAVEfmt ");
    put32le(out, 16);
    put16le(out, 1);
    put16le(out, 1);
    put32le(out, static_cast<std::uint32_t>(sampleRate));
    put32le(out, static_cast<std::uint32_t>(sampleRate * 2));
    put16le(out, 2);
    put16le(out, 16);
    putText(out, "data");
    put32le(out, samples * 2);
    for (std::uint32_t k = 0; k < samples; ++k)
        put16le(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * frequency * k / sampleRate))));
    return out;
}

namespace {

Bytes chunk(const char* id, const Bytes& data)
{
    Bytes out;
    putText(out, id);
    put32le(out, static_cast<std::uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() % 2)
        out.push_back(0);
    return out;
}

Bytes list(const char* type, const Bytes& content)
{
    Bytes data;
    putText(data, type);
    data.insert(data.end(), content.begin(), content.end());
    return chunk("LIST", data);
}

} // namespace

Bytes makeAvi(int width, int height, int frames)
{
    std::vector<Bytes> images;
    std::uint32_t largest = 0;
    for (int f = 0; f < frames; ++f) {
        images.push_back(makeJpeg(width, height, f * 3));
        largest = std::max(largest, static_cast<std::uint32_t>(images.back().size()));
    }
    Bytes main;
    for (const std::uint32_t v : {40000u, largest * 10, 0u, 0x10u, static_cast<std::uint32_t>(frames), 0u, 1u, largest,
                                  static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), 0u, 0u, 0u, 0u})
        put32le(main, v);
    Bytes stream;
    putText(stream, "vidsMJPG");
    for (const std::uint32_t v : {0u, 0u, 0u, 1u, 25u, 0u, static_cast<std::uint32_t>(frames), largest, 0xFFFFFFFFu, 0u})
        put32le(stream, v);
    put16le(stream, 0);
    put16le(stream, 0);
    put16le(stream, static_cast<unsigned>(width));
    put16le(stream, static_cast<unsigned>(height));
    Bytes format;
    for (const std::uint32_t v : {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)})
        put32le(format, v);
    put16le(format, 1);
    put16le(format, 24);
    putText(format, "MJPG");
    for (int k = 0; k < 5; ++k)
        put32le(format, k == 0 ? static_cast<std::uint32_t>(width * height * 3) : 0u);
    Bytes headers = chunk("avih", main);
    const Bytes streamList = list("strl", [&] {
        Bytes both = chunk("strh", stream);
        const Bytes f = chunk("strf", format);
        both.insert(both.end(), f.begin(), f.end());
        return both;
    }());
    headers.insert(headers.end(), streamList.begin(), streamList.end());

    Bytes movie;
    Bytes index;
    for (const Bytes& image : images) {
        putText(index, "00dc");
        put32le(index, 0x10);
        put32le(index, static_cast<std::uint32_t>(movie.size() + 4));
        put32le(index, static_cast<std::uint32_t>(image.size()));
        const Bytes frame = chunk("00dc", image);
        movie.insert(movie.end(), frame.begin(), frame.end());
    }
    Bytes body;
    putText(body, "AVI ");
    for (const Bytes& part : {list("hdrl", headers), list("movi", movie), chunk("idx1", index)})
        body.insert(body.end(), part.begin(), part.end());
    Bytes out;
    putText(out, "RIFF");
    put32le(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

} // namespace salvyn::demo

#pragma once
// The bytes of the photo being collected. One stretch of memory is set aside for the
// largest photo of a list, but its pages are only taken as they are first written, and it
// asks for large pages, so filling it costs few page faults. Belongs to one pass.
#include <cstddef>
#include <cstdint>

namespace salvyn {

class PhotoBuffer {
public:
    explicit PhotoBuffer(std::size_t capacity);
    ~PhotoBuffer();
    PhotoBuffer(const PhotoBuffer&) = delete;
    PhotoBuffer& operator=(const PhotoBuffer&) = delete;

    const std::uint8_t* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    std::size_t room() const { return m_capacity - m_size; }

    // Where the next bytes go, for reads straight into the buffer; grown() then takes them.
    std::uint8_t* end() { return m_data + m_size; }
    void grown(std::size_t bytes) { m_size += bytes; }

    // Copies bytes behind the collected ones, making room when the buffer is full. Bytes that
    // were read into the spare room lie behind end() and so always fit without moving.
    void append(const std::uint8_t* bytes, std::size_t count);

    void clear() { m_size = 0; }

    // Makes room for `capacity` bytes in all, keeping the collected ones.
    void reserve(std::size_t capacity);

private:
    std::uint8_t* m_data = nullptr;
    std::size_t m_mappedBytes = 0;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
};

} // namespace salvyn

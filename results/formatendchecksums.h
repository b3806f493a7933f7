#pragma once
// The two CRC-32 flavours that archive and stream formats put in their headers, so a
// format end can tell a real header from look-alike bytes. Pure functions, any thread.
#include <cstddef>
#include <cstdint>

namespace salvyn {

// The common reflected CRC-32 (polynomial 0xEDB88320), as in ZIP, RAR and 7z.
std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t running = 0);

// Ogg's page checksum: polynomial 0x04C11DB7, not reflected, no final inversion, over the
// page with its checksum field counted as zero.
std::uint32_t oggCrc32(const std::uint8_t* data, std::size_t size, std::uint32_t running = 0);

} // namespace salvyn

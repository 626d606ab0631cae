// Numbers as the files that the pictures' way reads keep them: words in either
// byte order, and the CRC-32 that zlib computes (Chromium's checksums).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pictures {

inline std::uint32_t Little16(const unsigned char* p) { return p[0] | std::uint32_t{p[1]} << 8; }
inline std::uint32_t Little32(const unsigned char* p) { return Little16(p) | Little16(p + 2) << 16; }
inline std::uint64_t Little64(const unsigned char* p) { return Little32(p) | std::uint64_t{Little32(p + 4)} << 32; }
inline std::uint32_t Big32(const unsigned char* p)
{
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

// The CRC-32 of `size` bytes, continuing one of the bytes before them.
inline std::uint32_t Crc32(const unsigned char* bytes, std::size_t size, std::uint32_t crc = 0)
{
    static constexpr std::array<std::uint32_t, 256> kTable = [] {
        std::array<std::uint32_t, 256> table{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int bit = 0; bit < 8; ++bit)
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[n] = c;
        }
        return table;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
        crc = kTable[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

}  // namespace pictures

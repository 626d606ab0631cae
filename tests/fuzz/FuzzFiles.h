// A fuzz input as the files of a cache folder: records of a name's length (one
// byte), the name (a path under the folder, backslashes between its parts), a
// length (four bytes, little-endian) and that many bytes, of which the last
// record takes what is left. tools/pack-cache writes such inputs from real
// caches, as the fuzz targets' seeds.
#pragma once

#include "tests/MemoryFiles.h"

#include <cstddef>
#include <cstdint>
#include <string>

inline MemoryFiles UnpackFiles(const std::uint8_t* data, std::size_t size, const std::string& folder)
{
    MemoryFiles files;
    std::size_t at = 0;
    while (at < size) {
        const std::size_t nameLength = data[at++];
        if (nameLength == 0 || nameLength > size - at)
            break;
        const std::string name(reinterpret_cast<const char*>(data + at), nameLength);
        at += nameLength;
        std::size_t length = 0;
        for (int i = 0; i < 4 && at < size; ++i)
            length |= static_cast<std::size_t>(data[at++]) << (8 * i);
        length = length < size - at ? length : size - at;
        files.files[folder + "\\" + name].assign(data + at, data + at + length);
        at += length;
    }
    return files;
}

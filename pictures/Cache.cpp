#include "pictures/Cache.h"


#include <algorithm>
#include <new>

namespace pictures {

bool ReadRange(ReadFile& file, std::uint64_t offset, std::uint64_t length, std::size_t limit, Bytes& bytes)
{
    const std::uint64_t size = file.Size();
    if (offset > size || length > size - offset)
        return false;
    try {
        bytes.resize(static_cast<std::size_t>(std::min<std::uint64_t>(length, limit)));
    } catch (const std::bad_alloc&) {
        return false;
    }
    return bytes.empty() || file.ReadAt(offset, bytes.data(), bytes.size());
}

bool ReadRange(Files& files, const std::string& path, std::uint64_t offset, std::uint64_t length,
               std::size_t limit, Bytes& bytes)
{
    const std::unique_ptr<ReadFile> file = files.Open(path);
    return file && ReadRange(*file, offset, length, limit, bytes);
}

}  // namespace pictures

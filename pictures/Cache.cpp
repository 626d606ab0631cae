#include "pictures/Cache.h"

#include <algorithm>
#include <new>
#include <utility>

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

EntryFilesReader::EntryFilesReader(std::string folder, std::vector<FolderEntry> listing, Files& files)
    : folder_(std::move(folder)), files_(files), listing_(std::move(listing))
{
}

std::vector<CacheEntry> EntryFilesReader::List()
{
    std::vector<CacheEntry> entries;
    try {
        const std::vector<FolderEntry> listing = fresh_ ? std::exchange(listing_, {}) : files_.List(folder_);
        fresh_ = false;
        StartList();
        entries.reserve(listing.size());
        for (const FolderEntry& item : listing) {
            try {
                if (std::optional<CacheEntry> entry = item.folder ? std::nullopt : ReadEntry(item))
                    entries.push_back(std::move(*entry));
            } catch (...) {
            }
        }
    } catch (...) {
    }
    return entries;
}

bool EntryFilesReader::Read(const CacheEntry& entry, std::size_t limit, Bytes& bytes)
{
    try {
        return ReadRange(files_, entry.file, entry.offset, entry.length, limit, bytes);
    } catch (...) {
        return false;
    }
}

}  // namespace pictures

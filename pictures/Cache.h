// One face for every layout in which a browser keeps its HTTP cache on disk.
// Each layout has a reader of its own, which says from a folder's contents
// whether the folder is of its kind and hands out every entry that holds a
// body: where the body lies, its key (the URL) and when the browser last used
// it; nothing above the readers knows which layout spoke. The caches are
// written by others, maybe while they are read: every address, length and
// list in them is checked against the files before it is followed, every walk
// is bounded, and an entry or a source that does not hold together is passed
// over. Nothing is ever written, and no file stays open between two calls (a
// browser must be able to delete and make again any file of its cache).
#pragma once

#include "pictures/Files.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pictures {

// One body that a cache keeps.
struct CacheEntry {
    std::string key;           // the URL, as the cache keeps it (with its partition's prefix)
    Time used = 0;             // when the browser last used it
    std::string file;          // the file that holds the body: a database for the SQL layout
    std::uint64_t offset = 0;  // where the body starts in it; the SQL layout: the resource's row
    std::uint64_t length = 0;  // the body's length in bytes
};

using Bytes = std::vector<unsigned char>;

class CacheReader {
public:
    virtual ~CacheReader() = default;
    // Every entry with a body, as the cache stands now, in no particular order.
    virtual std::vector<CacheEntry> List() = 0;
    // The body's first `limit` bytes, or all of it where it is shorter, into
    // `bytes`; false when it has gone, changed or cannot be read.
    virtual bool Read(const CacheEntry& entry, std::size_t limit, Bytes& bytes) = 0;
};

// Reads min(length, limit) bytes at `offset` of a file into `bytes`; false
// unless the file opens and holds all of them.
bool ReadRange(ReadFile& file, std::uint64_t offset, std::uint64_t length, std::size_t limit, Bytes& bytes);
bool ReadRange(Files& files, const std::string& path, std::uint64_t offset, std::uint64_t length,
               std::size_t limit, Bytes& bytes);

// A layout that keeps each entry in a file of its own, the body a range of it
// (Chromium's Simple cache, Firefox's cache2). The listing that chose the
// reader serves its first List; every later one lists the folder anew. An
// entry file that cannot be read, or memory that runs out, passes over the
// entry (or the rest of the folder): nothing is thrown.
class EntryFilesReader : public CacheReader {
public:
    EntryFilesReader(std::string folder, std::vector<FolderEntry> listing, Files& files);
    std::vector<CacheEntry> List() final;
    bool Read(const CacheEntry& entry, std::size_t limit, Bytes& bytes) final;

protected:
    // What a listing needs before its files are read.
    virtual void StartList() {}
    // The entry that a file of the folder holds; nothing where its name is
    // not an entry file's or it does not hold together.
    virtual std::optional<CacheEntry> ReadEntry(const FolderEntry& item) = 0;

    const std::string folder_;
    Files& files_;

private:
    std::vector<FolderEntry> listing_;
    bool fresh_ = true;
};

// Whether a folder is of such a layout: among its first few files whose names
// `named` takes (one may vanish while it is opened), one whose bytes `looks`
// takes for an entry file's.
template <class Named, class Looks>
bool HasEntryFile(const std::vector<FolderEntry>& listing, Named named, Looks looks)
{
    constexpr int kTries = 3;
    int tried = 0;
    for (const FolderEntry& item : listing) {
        if (item.folder || !named(NameOf(item.path)))
            continue;
        if (looks(item.path))
            return true;
        if (++tried == kTries)
            break;
    }
    return false;
}

}  // namespace pictures

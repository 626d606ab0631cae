// Random bytes as the files of a cache folder (FuzzFiles.h) against the reader
// whose Open function VLM_OPEN names, from seeds that tools/pack-cache packs
// from a cache that a real browser wrote. Whatever the files hold, nothing is
// read outside them; every entry lies inside its file (an SQL cache's, in rows
// of its database, no longer than it); a read gives min(limit, length) bytes,
// the file's own at the entry's offset; listing again gives as many entries.
#include "pictures/BlockfileCache.h"
#include "pictures/FirefoxCache.h"
#include "pictures/SimpleCache.h"
#include "pictures/SqlCache.h"
#include "tests/fuzz/FuzzFiles.h"

#include <algorithm>
#include <cstdlib>

// An SQL cache's offset names the body's row.
constexpr bool kRanges = &pictures::VLM_OPEN != &pictures::OpenSqlCache;

static void Check(bool condition)
{
    if (!condition)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string folder = "C:\\Cache";
    MemoryFiles files = UnpackFiles(data, size, folder);
    const std::unique_ptr<pictures::CacheReader> reader = pictures::VLM_OPEN(folder, files.List(folder), files);
    if (!reader)
        return 0;
    const std::vector<pictures::CacheEntry> entries = reader->List();
    for (const pictures::CacheEntry& entry : entries) {
        const auto file = files.files.find(entry.file);
        Check(file != files.files.end());
        const std::vector<unsigned char>& bytes = file->second;
        const std::uint64_t offset = kRanges ? entry.offset : 0;
        Check(entry.length > 0 && offset <= bytes.size() && entry.length <= bytes.size() - offset);
        const auto at = bytes.begin() + static_cast<std::ptrdiff_t>(offset);
        for (const std::size_t limit : {std::size_t{0}, std::size_t{5}, SIZE_MAX}) {
            pictures::Bytes body;
            const bool read = reader->Read(entry, limit, body);
            Check(read ? body.size() == std::min<std::uint64_t>(limit, entry.length) : !kRanges);
            Check(!kRanges || std::equal(body.begin(), body.end(), at));
        }
    }
    Check(reader->List().size() == entries.size());
    return 0;
}

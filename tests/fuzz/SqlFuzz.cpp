// Random bytes as the files of a cache folder (FuzzFiles.h) against the
// reader of Chromium's SQL cache, from seeds packed from a real cache's
// databases: whatever the files, nothing is read outside them, nothing
// crashes and no exception escapes; every entry lies in one of the folder's
// databases and is no longer than it; a body comes as long as asked, and its
// first bytes read alone are the first bytes of it read whole.
#include "pictures/SqlCache.h"
#include "tests/fuzz/FuzzFiles.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

static void Check(bool condition)
{
    if (!condition)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string folder = "C:\\Cache";
    MemoryFiles files = UnpackFiles(data, size, folder);
    const std::unique_ptr<pictures::CacheReader> reader = pictures::OpenSqlCache(folder, files.List(folder), files);
    if (!reader)
        return 0;
    constexpr std::size_t kHead = 32, kWhole = std::size_t{1} << 24;
    int read = 0;
    for (const pictures::CacheEntry& entry : reader->List()) {
        const auto file = files.files.find(entry.file);
        Check(file != files.files.end() && pictures::NameOf(entry.file).compare(0, 5, "sqldb") == 0);
        Check(entry.length > 0 && entry.length <= file->second.size());
        if (++read > 16)
            continue;
        pictures::Bytes head, whole;
        const bool headRead = reader->Read(entry, kHead, head);
        const bool wholeRead = reader->Read(entry, kWhole, whole);
        Check(!headRead || head.size() == std::min<std::uint64_t>(kHead, entry.length));
        Check(!wholeRead || whole.size() == std::min<std::uint64_t>(kWhole, entry.length));
        Check(!wholeRead || (headRead && std::equal(head.begin(), head.end(), whole.begin())));
    }
    return 0;
}

// Random bytes as the files of a blockfile cache's folder (tests/fuzz/FuzzFiles.h),
// from seeds that pack the cache that Debian's chromium wrote: whatever the
// files say, no read outside them, and every entry listed has a key and a body
// that lies inside its file, where the layout puts bodies of its length; a
// body reads as its file's bytes, never more than asked; a second listing
// gives the same entries.
#include "pictures/BlockfileCache.h"
#include "tests/fuzz/FuzzFiles.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

static void Check(bool condition)
{
    if (!condition)
        std::abort();
}

static bool Same(const pictures::CacheEntry& a, const pictures::CacheEntry& b)
{
    return a.key == b.key && a.used == b.used && a.file == b.file && a.offset == b.offset && a.length == b.length;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string folder = "C:\\Cache";
    MemoryFiles files = UnpackFiles(data, size, folder);
    const std::unique_ptr<pictures::CacheReader> reader =
        pictures::OpenBlockfileCache(folder, files.List(folder), files);
    if (!reader)
        return 0;
    const std::vector<pictures::CacheEntry> entries = reader->List();
    for (const pictures::CacheEntry& entry : entries) {
        Check(!entry.key.empty() && entry.file.compare(0, folder.size() + 1, folder + "\\") == 0);
        const auto file = files.files.find(entry.file);
        Check(file != files.files.end());
        const std::vector<unsigned char>& bytes = file->second;
        Check(entry.length > 0 && entry.offset <= bytes.size() && entry.length <= bytes.size() - entry.offset);
        // Over 16 KB a file of its own, else blocks after a block file's header.
        const std::string name = pictures::NameOf(entry.file);
        if (entry.length > 16384)
            Check(name.compare(0, 2, "f_") == 0 && entry.offset == 0);
        else
            Check(name.compare(0, 5, "data_") == 0 && entry.offset >= 8192);
        for (const std::size_t limit : {std::size_t{0}, std::size_t{1}, static_cast<std::size_t>(entry.length)}) {
            pictures::Bytes body;
            Check(reader->Read(entry, limit, body) && body.size() == std::min<std::uint64_t>(limit, entry.length) &&
                  std::equal(body.begin(), body.end(), bytes.begin() + static_cast<std::ptrdiff_t>(entry.offset)));
        }
    }
    const std::vector<pictures::CacheEntry> again = reader->List();
    Check(std::equal(entries.begin(), entries.end(), again.begin(), again.end(), Same));
    return 0;
}

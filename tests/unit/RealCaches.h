// What the tests of the cache readers share: the caches that real browsers
// wrote (tools/caches), read from the disk or copied into memory to be
// damaged, the files that the loopback server served them, and the checks
// that every reader passes over them.
#pragma once

#include "pictures/Cache.h"
#include "tests/MemoryFiles.h"
#include "tests/unit/DiskFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

// What each visit fetched, by its path on the server: the first visit's page,
// photo and script, then, seconds later, the second visit's.
inline const std::vector<std::string> kFirstVisit = {"first.html", "old.jpg", "big.js"};
inline const std::vector<std::string> kSecondVisit = {"second.html", "new.jpg",    "copy/new.jpg", "pixel.gif",
                                                      "icon.png",    "banner.png", "small.js"};

// A disk file's bytes; none where it cannot be read.
inline pictures::Bytes FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return pictures::Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A cache that tools/caches made, by its name; "" with a failure that says why.
inline std::string RealCache(const std::string& name)
{
    const std::string folder = CacheFolder(name);
    if (folder.empty())
        ADD_FAILURE() << "VLM_CACHES is unset: it names the folder where tools/caches put the browsers' caches";
    else if (!std::filesystem::is_directory(folder))
        ADD_FAILURE() << folder << " is missing: tools/caches makes it";
    else
        return folder;
    return "";
}

// The path on the server of the URL that a key ends with ("/copy/new.jpg"):
// what follows the host of its last "://".
inline std::string UrlPath(const std::string& key)
{
    const std::string::size_type scheme = key.rfind("://");
    const std::string::size_type slash = scheme == std::string::npos ? scheme : key.find('/', scheme + 3);
    return slash == std::string::npos ? std::string() : key.substr(slash);
}

// The entries whose keys end in the URL of a served path.
inline std::vector<pictures::CacheEntry> EntriesOf(const std::vector<pictures::CacheEntry>& entries,
                                                   const std::string& path)
{
    std::vector<pictures::CacheEntry> found;
    std::copy_if(entries.begin(), entries.end(), std::back_inserter(found),
                 [&](const pictures::CacheEntry& entry) { return UrlPath(entry.key) == "/" + path; });
    return found;
}

// Every file that a visit fetched is one entry, under a key ending in its URL,
// whose body is byte for byte what the server sent; a limit takes its first
// bytes.
inline void ExpectServedBodies(pictures::CacheReader& reader, const std::vector<pictures::CacheEntry>& entries)
{
    const std::string site = CacheFolder("site");
    for (const std::vector<std::string>* visit : {&kFirstVisit, &kSecondVisit}) {
        for (const std::string& path : *visit) {
            const std::vector<pictures::CacheEntry> found = EntriesOf(entries, path);
            ASSERT_EQ(found.size(), 1u) << path;
            const pictures::Bytes served = FileBytes(site + "/" + path);
            ASSERT_FALSE(served.empty()) << path;
            pictures::Bytes body;
            EXPECT_TRUE(reader.Read(found[0], SIZE_MAX, body)) << path;
            EXPECT_TRUE(body == served) << path << ": " << body.size() << " bytes read, " << served.size() << " served";
            EXPECT_TRUE(reader.Read(found[0], 10, body)) << path;
            const std::size_t head = std::min<std::size_t>(10, served.size());
            EXPECT_TRUE(body == pictures::Bytes(served.begin(), served.begin() + head)) << path;
        }
    }
}

// The second visit's entries were used later than the first visit's.
inline void ExpectVisitsInOrder(const std::vector<pictures::CacheEntry>& entries)
{
    pictures::Time lastOfFirst = 0, firstOfSecond = INT64_MAX;
    for (const std::string& path : kFirstVisit)
        for (const pictures::CacheEntry& entry : EntriesOf(entries, path))
            lastOfFirst = std::max(lastOfFirst, entry.used);
    for (const std::string& path : kSecondVisit)
        for (const pictures::CacheEntry& entry : EntriesOf(entries, path))
            firstOfSecond = std::min(firstOfSecond, entry.used);
    EXPECT_GT(lastOfFirst, 0);
    EXPECT_LT(lastOfFirst, firstOfSecond);
}

// Files in memory that may also vanish: listed, but no longer opened.
class DamagedFiles : public MemoryFiles {
public:
    std::set<std::string> vanished;

    std::unique_ptr<pictures::ReadFile> Open(const std::string& path) override
    {
        return vanished.count(path) != 0 ? nullptr : MemoryFiles::Open(path);
    }
};

// A disk folder's files, its sub-folders' too, as files in memory under
// `folder`.
inline DamagedFiles CopyToMemory(const std::string& disk, const std::string& folder)
{
    DamagedFiles files;
    for (const auto& item : std::filesystem::recursive_directory_iterator(disk)) {
        if (!item.is_regular_file())
            continue;
        std::string name = std::filesystem::relative(item.path(), disk).string();
        std::replace(name.begin(), name.end(), '/', '\\');
        files.files[folder + "\\" + name] = FileBytes(item.path().string());
    }
    return files;
}

// What a reader hands out holds together whatever was done to the files:
// every body lies inside its file, and a read gives the first bytes of it, up
// to the limit, and nothing else.
inline void ExpectInsideFiles(pictures::CacheReader& reader, MemoryFiles& files,
                              const std::vector<pictures::CacheEntry>& entries)
{
    for (const pictures::CacheEntry& entry : entries) {
        const auto it = files.files.find(entry.file);
        ASSERT_NE(it, files.files.end()) << entry.file;
        const pictures::Bytes& bytes = it->second;
        ASSERT_GT(entry.length, 0u) << entry.file;
        ASSERT_LE(entry.offset, bytes.size()) << entry.file;
        ASSERT_LE(entry.length, bytes.size() - entry.offset) << entry.file;
        for (const std::size_t limit : {std::size_t{0}, std::size_t{7}, SIZE_MAX}) {
            pictures::Bytes body;
            ASSERT_TRUE(reader.Read(entry, limit, body)) << entry.file;
            ASSERT_EQ(body.size(), std::min<std::uint64_t>(limit, entry.length)) << entry.file;
            EXPECT_TRUE(std::equal(body.begin(), body.end(), bytes.begin() + static_cast<std::ptrdiff_t>(entry.offset)))
                << entry.file;
        }
    }
}

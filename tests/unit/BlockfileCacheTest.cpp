// The blockfile reader over the cache that Debian's chromium wrote in the
// layout of Chrome and Edge on Windows (tools/caches: two visits, a few
// seconds apart, to pages of a loopback server), and over copies of it with
// one fault each; and over the caches of the other layouts.
#include "pictures/BlockfileCache.h"
#include "tests/MemoryFiles.h"
#include "tests/unit/DiskFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using pictures::Bytes;
using pictures::CacheEntry;

// What the server sent, by visit: a body over 16 KB has a file of its own.
const struct Served {
    const char* name;
    int visit;
} kServed[] = {
    {"old.jpg", 1},   {"big.js", 1},   {"new.jpg", 2},    {"copy/new.jpg", 2},
    {"pixel.gif", 2}, {"icon.png", 2}, {"banner.png", 2}, {"small.js", 2},
};

Bytes ReadDisk(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

// The served file whose URL the key ends with ("" for none): the URL follows
// the key's last blank, and its path the host.
std::string ServedName(const std::string& key)
{
    const std::string url = key.substr(key.rfind(' ') + 1);
    const std::string::size_type host = url.find("//");
    const std::string::size_type path = host == std::string::npos ? host : url.find('/', host + 2);
    return path == std::string::npos ? std::string() : url.substr(path + 1);
}

std::string CacheOrFail()
{
    const std::string folder = CacheFolder("blockfile");
    if (folder.empty())
        ADD_FAILURE() << "VLM_CACHES is unset: it names the folder where tools/caches made the browsers' caches";
    return folder;
}

// Every body found byte for byte under its URL, in a block file where it is
// 16 KB or less and in an f_ file where it is more; the second visit used
// later than the first; and no file opened twice in a walk.
TEST(BlockfileCacheTest, RealCache)
{
    const std::string folder = CacheOrFail();
    if (folder.empty())
        return;
    DiskFiles files;
    const std::unique_ptr<pictures::CacheReader> reader =
        pictures::OpenBlockfileCache(folder, files.List(folder), files);
    ASSERT_TRUE(reader) << folder;
    files.opened.clear();
    const std::vector<CacheEntry> entries = reader->List();
    for (const auto& [path, count] : files.opened)
        EXPECT_EQ(count, 1) << path;

    pictures::Time lastOfFirst = 0, firstOfSecond = INT64_MAX;
    for (const Served& served : kServed) {
        const auto entry = std::find_if(entries.begin(), entries.end(),
                                        [&](const CacheEntry& e) { return ServedName(e.key) == served.name; });
        ASSERT_NE(entry, entries.end()) << served.name;
        const Bytes sent = ReadDisk(CacheFolder("site") + "/" + served.name);
        ASSERT_FALSE(sent.empty()) << served.name;
        Bytes body;
        EXPECT_TRUE(reader->Read(*entry, sent.size() + 1, body)) << served.name;
        EXPECT_TRUE(body == sent) << served.name;
        EXPECT_TRUE(reader->Read(*entry, 16, body) &&
                    body == Bytes(sent.begin(), sent.begin() + std::min<std::size_t>(16, sent.size())))
            << served.name;
        const std::string file = pictures::NameOf(entry->file);
        EXPECT_EQ(file.substr(0, sent.size() > 16384 ? 2 : 5), sent.size() > 16384 ? "f_" : "data_") << served.name;
        EXPECT_EQ(entry->offset != 0, sent.size() <= 16384) << served.name;
        if (served.visit == 1)
            lastOfFirst = std::max(lastOfFirst, entry->used);
        else
            firstOfSecond = std::min(firstOfSecond, entry->used);
    }
    EXPECT_LT(lastOfFirst, firstOfSecond);
    EXPECT_GT(lastOfFirst, pictures::FromUnixSeconds(1600000000));  // after September 2020
}

// The other layouts' folders, which the browsers also wrote, are not taken
// for blockfile caches, nor is the real index with its first byte changed.
TEST(BlockfileCacheTest, OtherLayouts)
{
    const std::string folder = CacheOrFail();
    if (folder.empty())
        return;
    for (const char* layout : {"simple", "sql", "firefox"}) {
        DiskFiles files;
        const std::vector<pictures::FolderEntry> listing = files.List(CacheFolder(layout));
        EXPECT_FALSE(listing.empty()) << layout;
        EXPECT_FALSE(pictures::OpenBlockfileCache(CacheFolder(layout), listing, files)) << layout;
    }
    MemoryFiles files;
    Bytes& index = files.files["C:\\Cache\\index"] = ReadDisk(folder + "/index");
    EXPECT_TRUE(pictures::OpenBlockfileCache("C:\\Cache", files.List("C:\\Cache"), files));
    index.at(0) ^= 1;
    EXPECT_FALSE(pictures::OpenBlockfileCache("C:\\Cache", files.List("C:\\Cache"), files));
}

// Places in the files, as Chromium lays them out.
constexpr std::size_t kIndexVersion = 4, kIndexTableLength = 28, kIndexThisId = 20, kBlockSize = 12, kMaxEntries = 20;
constexpr std::size_t kNext = 4, kRankings = 8, kState = 20, kKeyLength = 32, kBodySize = 44, kBodyAddress = 60;
constexpr std::size_t kFlags = 72, kKey = 96;
constexpr std::size_t kContents = 24, kDirty = 28;
const std::string kFolder = "C:\\Cache";

// The real cache copied into memory, with what its intact copy lists.
struct Copy {
    MemoryFiles files;
    std::map<std::string, CacheEntry> listed;  // by the served file's name

    Bytes& File(const std::string& name) { return files.files.at(kFolder + "\\" + name); }
    std::uint32_t Get(const std::string& file, std::size_t at)
    {
        const Bytes& bytes = File(file);
        return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 | std::uint32_t{bytes.at(at + 3)} << 24;
    }
    void Put(const std::string& file, std::size_t at, std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
            File(file).at(at + i) = static_cast<unsigned char>(value >> 8 * i);
    }
    // Where a served file's entry lies in data_1: 96 bytes before its key.
    std::size_t Entry(const std::string& name)
    {
        const std::string& key = listed.at(name).key;
        const Bytes& data = File("data_1");
        const std::string ended(key.c_str(), key.size() + 1);
        const auto found = std::search(data.begin(), data.end(), ended.begin(), ended.end());
        EXPECT_NE(found, data.end()) << name;
        return static_cast<std::size_t>(found - data.begin()) - kKey;
    }
    // Its address: set, 256-byte blocks, data_1, its first block (keys here
    // fit in one).
    std::uint32_t Address(const std::string& name) { return 0xA0010000 | (Entry(name) - 8192) / 256; }
    // Where its rankings node lies, in data_0.
    std::size_t Node(const std::string& name) { return 8192 + (Get("data_1", Entry(name) + kRankings) & 0xFFFF) * 36; }
    // Its bucket: the low bits of its hash.
    std::uint32_t Bucket(const std::string& name)
    {
        return Get("data_1", Entry(name)) & (Get("index", kIndexTableLength) - 1);
    }
    // Its body's file, and for a body in blocks its first, their count and where they end.
    std::string BodyFile(const std::string& name) { return pictures::NameOf(listed.at(name).file); }
    std::uint32_t FirstBlock(const std::string& name) { return Get("data_1", Entry(name) + kBodyAddress) & 0xFFFF; }
    std::uint32_t BlockCount(const std::string& name)
    {
        return (Get("data_1", Entry(name) + kBodyAddress) >> 24 & 3) + 1;
    }
    std::uint32_t BodyRoom(const std::string& name) { return BlockCount(name) * Get(BodyFile(name), kBlockSize); }
    std::size_t BodyEnd(const std::string& name)
    {
        return 8192 + (FirstBlock(name) + BlockCount(name)) * Get(BodyFile(name), kBlockSize);
    }
};

// Which served files a fault takes away.
using Gone = std::function<bool(const std::string& name, Copy& copy)>;
// Those whose bodies lie in the same file as `name`'s, after it (or from it on).
Gone After(const char* name, bool from)
{
    return [name, from](const std::string& n, Copy& c) {
        const std::uint64_t at = c.listed.at(n).offset, its = c.listed.at(name).offset;
        return c.BodyFile(n) == c.BodyFile(name) && (from ? at >= its : at > its);
    };
}

std::vector<CacheEntry> ListCopy(MemoryFiles& files)
{
    const std::unique_ptr<pictures::CacheReader> reader =
        pictures::OpenBlockfileCache(kFolder, files.List(kFolder), files);
    return reader ? reader->List() : std::vector<CacheEntry>();
}

// One fault a row, done to a copy of the real cache: the bodies that it takes
// away go, every other stays, nothing is listed twice, and every range listed
// lies inside its file.
TEST(BlockfileCacheTest, Damage)
{
    const std::string folder = CacheOrFail();
    if (folder.empty())
        return;
    Copy intact;
    DiskFiles disk;
    for (const pictures::FolderEntry& entry : disk.List(folder))
        intact.files.files[kFolder + "\\" + pictures::NameOf(entry.path)] =
            ReadDisk(folder + "/" + pictures::NameOf(entry.path));
    std::set<std::string> intactKeys;
    for (CacheEntry& entry : ListCopy(intact.files)) {
        intact.listed[ServedName(entry.key)] = entry;
        intactKeys.insert(entry.key);
    }
    for (const Served& served : kServed)
        ASSERT_EQ(intact.listed.count(served.name), 1u) << served.name;

    const Gone all = [](const std::string&, Copy&) { return true; };
    const auto only = [](const char* name) { return [name](const std::string& n, Copy&) { return n == name; }; };
    const Gone none = [](const std::string&, Copy&) { return false; };
    const struct {
        const char* what;
        std::function<void(Copy&)> damage;
        Gone gone;
    } cases[] = {
        // No fault: the control.
        {"intact", [](Copy&) {}, none},
        // The index ends within its header: not taken for a cache at all.
        {"index cut in its header", [](Copy& c) { c.File("index").resize(100); }, all},
        // The index ends after its header: no bucket to start from.
        {"index cut after its header", [](Copy& c) { c.File("index").resize(368); }, all},
        // The index ends with new.jpg's bucket: the buckets after it go.
        {"index cut in its table", [](Copy& c) { c.File("index").resize(368 + 4 * (c.Bucket("new.jpg") + 1)); },
         [](const std::string& n, Copy& c) { return c.Bucket(n) > c.Bucket("new.jpg"); }},
        // A table longer than Chromium ever makes; an index of a version to come.
        {"index table of 2^31 - 1", [](Copy& c) { c.Put("index", kIndexTableLength, 0x7FFFFFFF); }, all},
        {"index of version 4.0", [](Copy& c) { c.Put("index", kIndexVersion, 0x40000); }, all},
        // new.jpg's body at block 0xFFFF: past the blocks that its file counts and holds.
        {"address past its file's end",
         [](Copy& c) {
             c.Put("data_1", c.Entry("new.jpg") + kBodyAddress,
                   c.Get("data_1", c.Entry("new.jpg") + kBodyAddress) | 0xFFFF);
         },
         only("new.jpg")},
        // The header of new.jpg's body's file counts blocks up to new.jpg's
        // last, or only up to its first (it has more than one): what ends
        // within the count stays.
        {"blocks up to the header's count",
         [](Copy& c) { c.Put(c.BodyFile("new.jpg"), kMaxEntries, c.FirstBlock("new.jpg") + c.BlockCount("new.jpg")); },
         After("new.jpg", false)},
        {"blocks past the header's count",
         [](Copy& c) { c.Put(c.BodyFile("new.jpg"), kMaxEntries, c.FirstBlock("new.jpg") + 1); },
         After("new.jpg", true)},
        // new.jpg's body's file cut where new.jpg's blocks end, or a byte
        // before: what the file holds whole stays.
        {"block file cut after a body", [](Copy& c) { c.File(c.BodyFile("new.jpg")).resize(c.BodyEnd("new.jpg")); },
         After("new.jpg", false)},
        {"block file cut within a body",
         [](Copy& c) { c.File(c.BodyFile("new.jpg")).resize(c.BodyEnd("new.jpg") - 1); }, After("new.jpg", true)},
        // The rankings nodes' file counts as many blocks as its header's map
        // tracks, or one more.
        {"block file of all its blocks", [](Copy& c) { c.Put("data_0", kMaxEntries, (8192 - 80) * 8); }, none},
        {"block file of too many blocks", [](Copy& c) { c.Put("data_0", kMaxEntries, (8192 - 80) * 8 + 1); }, all},
        // old.jpg's entry, alone in its bucket, names itself next, and
        // small.js's names old.jpg's: each chain ends where it comes back,
        // every entry listed once.
        {"chain that loops back on itself",
         [](Copy& c) {
             EXPECT_EQ(c.Get("data_1", c.Entry("old.jpg") + kNext) | c.Get("data_1", c.Entry("small.js") + kNext), 0u);
             c.Put("data_1", c.Entry("old.jpg") + kNext, c.Address("old.jpg"));
             c.Put("data_1", c.Entry("small.js") + kNext, c.Address("old.jpg"));
         },
         none},
        // old.jpg's body a byte longer than its f_ file; or 16 KB and a byte,
        // the shortest body that has a file of its own.
        {"body length past its file",
         [](Copy& c) {
             c.Put("data_1", c.Entry("old.jpg") + kBodySize, c.Get("data_1", c.Entry("old.jpg") + kBodySize) + 1);
         },
         only("old.jpg")},
        {"body length of 16 KB and a byte in its file",
         [](Copy& c) { c.Put("data_1", c.Entry("old.jpg") + kBodySize, 16385); }, none},
        // pixel.gif's body as long as its blocks, or a byte longer.
        {"body length of its blocks",
         [](Copy& c) { c.Put("data_1", c.Entry("pixel.gif") + kBodySize, c.BodyRoom("pixel.gif")); }, none},
        {"body length past its blocks",
         [](Copy& c) { c.Put("data_1", c.Entry("pixel.gif") + kBodySize, c.BodyRoom("pixel.gif") + 1); },
         only("pixel.gif")},
        // pixel.gif's body said to be old.jpg's f_ file: a body of 16 KB or
        // less never has a file of its own.
        {"small body in an f_ file",
         [](Copy& c) {
             c.Put("data_1", c.Entry("pixel.gif") + kBodyAddress, c.Get("data_1", c.Entry("old.jpg") + kBodyAddress));
         },
         only("pixel.gif")},
        // new.jpg's rankings node names old.jpg's entry.
        {"rankings node that points elsewhere",
         [](Copy& c) { c.Put("data_0", c.Node("new.jpg") + kContents, c.Address("old.jpg")); }, only("new.jpg")},
        // icon.png's entry doomed, banner.png's evicted.
        {"entries doomed and evicted",
         [](Copy& c) {
             c.Put("data_1", c.Entry("icon.png") + kState, 2);
             c.Put("data_1", c.Entry("banner.png") + kState, 1);
         },
         [](const std::string& n, Copy&) { return n == "icon.png" || n == "banner.png"; }},
        // big.js's entry a child of a sparse entry.
        {"sparse child", [](Copy& c) { c.Put("data_1", c.Entry("big.js") + kFlags, 2); }, only("big.js")},
        // small.js's node left dirty by another run; pixel.gif's open in the current one.
        {"dirty nodes",
         [](Copy& c) {
             c.Put("data_0", c.Node("small.js") + kDirty, c.Get("index", kIndexThisId) + 1);
             c.Put("data_0", c.Node("pixel.gif") + kDirty, c.Get("index", kIndexThisId));
         },
         only("small.js")},
        // banner.png's key as long as its entry's one block holds, with no room for its NUL.
        {"key length past the entry", [](Copy& c) { c.Put("data_1", c.Entry("banner.png") + kKeyLength, 256 - 96); },
         only("banner.png")},
        // small.js's key a byte shorter than it is: no NUL where it ends.
        {"key length without its NUL",
         [](Copy& c) {
             c.Put("data_1", c.Entry("small.js") + kKeyLength, c.Get("data_1", c.Entry("small.js") + kKeyLength) - 1);
         },
         only("small.js")},
        // A key of 2 GB that a long key's address should hold: there is none.
        {"key length of 2^31 - 1", [](Copy& c) { c.Put("data_1", c.Entry("icon.png") + kKeyLength, 0x7FFFFFFF); },
         only("icon.png")},
        // The rankings nodes' file says its blocks are of 256 bytes.
        {"block file of another size", [](Copy& c) { c.Put("data_0", kBlockSize, 256); }, all},
        // The entries' file, or old.jpg's f_ file, or the file of new.jpg's body, is gone.
        {"data_1 missing", [](Copy& c) { c.files.files.erase(kFolder + "\\data_1"); }, all},
        {"f_ file missing", [](Copy& c) { c.files.files.erase(c.listed.at("old.jpg").file); }, only("old.jpg")},
        {"data file of new.jpg missing", [](Copy& c) { c.files.files.erase(c.listed.at("new.jpg").file); },
         [](const std::string& n, Copy& c) { return c.BodyFile(n) == c.BodyFile("new.jpg"); }},
    };
    for (const auto& c : cases) {
        Copy copy = intact;
        c.damage(copy);
        std::set<std::string> keys, found;
        for (const CacheEntry& entry : ListCopy(copy.files)) {
            EXPECT_TRUE(keys.insert(entry.key).second) << c.what << ": " << entry.key;
            EXPECT_EQ(intactKeys.count(entry.key), 1u) << c.what << ": " << entry.key;
            const auto file = copy.files.files.find(entry.file);
            ASSERT_NE(file, copy.files.files.end()) << c.what << ": " << entry.file;
            EXPECT_LE(entry.offset + entry.length, file->second.size()) << c.what << ": " << entry.key;
            found.insert(ServedName(entry.key));
        }
        for (const Served& served : kServed)
            EXPECT_EQ(found.count(served.name), c.gone(served.name, copy) ? 0u : 1u) << c.what << ": " << served.name;
    }
}

}  // namespace

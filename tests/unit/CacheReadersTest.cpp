// The four cache readers over the caches that real browsers wrote (tools/caches:
// two visits to pages of a loopback server, seconds apart), copied into
// memory, whole and with one fault each.
#include "pictures/BlockfileCache.h"
#include "pictures/FirefoxCache.h"
#include "pictures/SimpleCache.h"
#include "pictures/SqlCache.h"
#include "tests/MemoryFiles.h"
#include "tests/unit/DiskFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>

namespace {

using pictures::Bytes;
using pictures::CacheEntry;

enum LayoutId { kBlockfile, kSimple, kFirefox, kSql };
const struct Layout {
    const char* name;  // its folder in VLM_CACHES
    decltype(&pictures::OpenSqlCache) open;
} kLayouts[] = {{"blockfile", pictures::OpenBlockfileCache}, {"simple", pictures::OpenSimpleCache},
                {"firefox", pictures::OpenFirefoxCache}, {"sql", pictures::OpenSqlCache}};
void PrintTo(const Layout& layout, std::ostream* out) { *out << layout.name; }

// What the server sent, by URL path, on the first visit or the second.
const struct {
    const char* path;
    int visit;
} kServed[] = {{"first.html", 1}, {"old.jpg", 1},      {"big.js", 1},    {"second.html", 2}, {"new.jpg", 2},
               {"copy/new.jpg", 2}, {"pixel.gif", 2}, {"icon.png", 2}, {"banner.png", 2}, {"small.js", 2}};
const std::string kFolder = "C:\\Cache";

Bytes DiskBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// The URL path that a key ends with: what follows the host of its last "://".
std::string UrlPath(const std::string& key)
{
    const std::string::size_type scheme = key.rfind("://");
    const std::string::size_type slash = scheme == std::string::npos ? scheme : key.find('/', scheme + 3);
    return slash == std::string::npos ? "" : key.substr(slash + 1);
}

// A word of a file, little-endian or big-endian; a place past the end throws.
std::uint32_t Word(const Bytes& bytes, std::size_t at, bool big = false)
{
    std::uint32_t word = 0;
    for (int i = 0; i < 4; ++i)
        word |= std::uint32_t{bytes.at(at + i)} << 8 * (big ? 3 - i : i);
    return word;
}
void SetWord(Bytes& bytes, std::size_t at, std::uint64_t word, bool big = false)
{
    for (int i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<unsigned char>(word >> 8 * (big ? 3 - i : i));
}
// Where `what` lies in `bytes`: its first place, or its last before `end`;
// nowhere throws.
std::size_t Find(const Bytes& bytes, const Bytes& what, std::size_t end = SIZE_MAX)
{
    const auto last = end == SIZE_MAX ? bytes.end() : bytes.begin() + static_cast<std::ptrdiff_t>(end);
    const auto at = end == SIZE_MAX ? std::search(bytes.begin(), last, what.begin(), what.end())
                                    : std::find_end(bytes.begin(), last, what.begin(), what.end());
    if (at == last)
        throw std::out_of_range("not found");
    return static_cast<std::size_t>(at - bytes.begin());
}
// A text's bytes, with its NUL where asked.
Bytes BytesOf(const std::string& text, bool nul = false) { return Bytes(text.begin(), text.end() + (nul ? 1 : 0)); }

// A cache copied into memory, in which a file may also be held by its writer.
struct Copy : MemoryFiles {
    std::set<std::string> held;
    std::map<std::string, CacheEntry> intact;  // what the reader lists of the intact copy, by URL path
    std::string target;                        // the file of the entry to damage
    std::unique_ptr<pictures::ReadFile> Open(const std::string& path) override
    {
        return held.count(path) != 0 ? nullptr : MemoryFiles::Open(path);
    }
    Bytes& File(const std::string& name) { return files.at(kFolder + "\\" + name); }
    // Blockfile: where a URL's entry lies in data_1 (96 bytes before its key),
    // its address, and where its rankings node lies in data_0.
    std::size_t Entry(const std::string& path) { return Find(File("data_1"), BytesOf(intact.at(path).key, true)) - 96; }
    std::uint32_t Address(const std::string& path) { return 0xA0010000 | (Entry(path) - 8192) / 256; }
    std::size_t Node(const std::string& path) { return 8192 + (Word(File("data_1"), Entry(path) + 8) & 0xFFFF) * 36; }
    // SQL: where the header of a URL's row of resources begins, and of its
    // body's one row of blobs (its id NULL for the row id, res_id of a byte,
    // start 0).
    std::size_t Resource(const Bytes& db, const std::string& path)
    {
        return Find(db, {0, 6, 8}, Find(db, BytesOf(intact.at(path).key))) - 1;
    }
    std::size_t Blob(const Bytes& db, const std::string& path)
    {
        return Find(db, {0, 1, 8}, Find(db, DiskBytes(CacheFolder("site") + "/" + path))) - 1;
    }
};

// What the tests of every layout share.
class CacheReadersTest : public testing::Test {
protected:
    // A cache that tools/caches made, copied into memory under kFolder.
    static void Load(const Layout& layout, Copy& copy)
    {
        const std::string disk = CacheFolder(layout.name);
        ASSERT_TRUE(std::filesystem::is_directory(disk)) << "no " << disk << " (VLM_CACHES): tools/caches makes it";
        for (const auto& item : std::filesystem::recursive_directory_iterator(disk)) {
            std::string name = std::filesystem::relative(item.path(), disk).string();
            std::replace(name.begin(), name.end(), '/', '\\');
            if (item.is_regular_file())
                copy.files[kFolder + "\\" + name] = DiskBytes(item.path().string());
        }
    }
    // The entries that read whole, by URL path. Whatever the files hold, no
    // URL is listed twice, every range lies inside its file, a body read is
    // what the server sent and a read with a limit gives its first bytes.
    static void List(const Layout& layout, Copy& copy, std::map<std::string, CacheEntry>& read)
    {
        const auto reader = layout.open(kFolder, copy.List(kFolder), copy);
        std::set<std::string> listed;
        for (const CacheEntry& entry : reader ? reader->List() : std::vector<CacheEntry>()) {
            const std::string path = UrlPath(entry.key);
            ASSERT_TRUE(listed.insert(path).second) << "listed twice: " << path;
            const std::uint64_t size = copy.files.at(entry.file).size();
            const bool inside = entry.offset <= size && entry.length <= size - entry.offset;
            EXPECT_TRUE(inside || layout.open == pictures::OpenSqlCache) << path;
            Bytes body, head;
            if (!reader->Read(entry, SIZE_MAX, body))
                continue;  // listed, and gone since
            read[path] = entry;
            const Bytes served = DiskBytes(CacheFolder("site") + "/" + path);
            EXPECT_TRUE(body.size() == entry.length && (served.empty() || body == served)) << path;
            const Bytes first(body.begin(), body.begin() + std::min<std::ptrdiff_t>(7, body.size()));
            EXPECT_TRUE(reader->Read(entry, 7, head) && head == first) << path;
        }
    }
};

class RealCacheTest : public CacheReadersTest, public testing::WithParamInterface<Layout> {};

// The layout's own reader takes its folder and the others refuse it; every
// body served is read under its URL, and the second visit was later.
TEST_P(RealCacheTest, ReadsEveryBodyServed)
{
    Copy copy;
    Load(GetParam(), copy);
    for (const Layout& other : kLayouts)
        EXPECT_EQ(other.open(kFolder, copy.List(kFolder), copy) != nullptr, other.open == GetParam().open)
            << other.name;
    std::map<std::string, CacheEntry> read;
    List(GetParam(), copy, read);
    pictures::Time first = 0, second = INT64_MAX;
    for (const auto& served : kServed) {
        ASSERT_EQ(read.count(served.path), 1u) << served.path;
        const pictures::Time used = read.at(served.path).used;
        if (served.visit == 1)
            first = std::max(first, used);
        else
            second = std::min(second, used);
    }
    EXPECT_LT(first, second);
    if (GetParam().open == pictures::OpenBlockfileCache) {
        EXPECT_EQ(pictures::NameOf(read.at("new.jpg").file).substr(0, 5), "data_");
        EXPECT_EQ(pictures::NameOf(read.at("old.jpg").file).substr(0, 2), "f_");
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, RealCacheTest, testing::ValuesIn(kLayouts));

// One fault done to a copy: what it takes away, of the entries read whole.
enum Gone { kNone, kTarget, kItsFile, kAll };
struct Damage {
    LayoutId layout;
    const char* what;
    const char* target;  // the URL whose entry or file is damaged
    Gone gone;           // nothing, the target, every entry in the target's file, or all
    void (*damage)(Copy& copy, Bytes& file);  // the target's file
};
void PrintTo(const Damage& damage, std::ostream* out) { *out << kLayouts[damage.layout].name << ": " << damage.what; }

const Damage kDamages[] = {
    // The table's last bucket, empty, cut short: every entry stays.
    {kBlockfile, "index cut by a byte", "new.jpg", kNone, [](Copy& c, Bytes&) { c.File("index").pop_back(); }},
    {kBlockfile, "index of a version to come", "new.jpg", kAll,
     [](Copy& c, Bytes&) { SetWord(c.File("index"), 4, 0x40000); }},
    // old.jpg, alone in its bucket, next to itself: listed once all the same.
    {kBlockfile, "hash chain that loops", "old.jpg", kNone,
     [](Copy& c, Bytes&) { SetWord(c.File("data_1"), c.Entry("old.jpg") + 4, c.Address("old.jpg")); }},
    {kBlockfile, "entry doomed", "icon.png", kTarget,
     [](Copy& c, Bytes&) { SetWord(c.File("data_1"), c.Entry("icon.png") + 20, 2); }},
    {kBlockfile, "body length past its f_ file", "old.jpg", kTarget,
     [](Copy& c, Bytes& f) { SetWord(c.File("data_1"), c.Entry("old.jpg") + 44, f.size() + 1); }},
    {kBlockfile, "rankings node that names another entry", "new.jpg", kTarget,
     [](Copy& c, Bytes&) { SetWord(c.File("data_0"), c.Node("new.jpg") + 24, c.Address("old.jpg")); }},
    {kBlockfile, "rankings node dirty from another run", "small.js", kTarget,
     [](Copy& c, Bytes&) { SetWord(c.File("data_0"), c.Node("small.js") + 28, Word(c.File("index"), 20) + 1); }},
    {kBlockfile, "key length without its NUL", "small.js", kTarget,
     [](Copy& c, Bytes&) { --c.File("data_1").at(c.Entry("small.js") + 32); }},
    {kBlockfile, "data_N of new.jpg missing", "new.jpg", kItsFile, [](Copy& c, Bytes&) { c.files.erase(c.target); }},
    {kBlockfile, "data_N of new.jpg cut after its header", "new.jpg", kItsFile,
     [](Copy&, Bytes& f) { f.resize(8193); }},

    {kSimple, "renamed todelete_", "new.jpg", kTarget,
     [](Copy& c, Bytes& f) {
         c.files[kFolder + "\\todelete_" + pictures::NameOf(c.target)] = f;
         c.files.erase(c.target);
     }},
    // Stream 1's: before stream 0, the key's SHA-256 and stream 0's end record.
    {kSimple, "end record's magic broken", "new.jpg", kTarget,
     [](Copy&, Bytes& f) { f.at(f.size() - 80 - Word(f, f.size() - 8)) ^= 1; }},
    {kSimple, "header magic broken", "new.jpg", kTarget, [](Copy&, Bytes& f) { f.at(0) ^= 1; }},
    {kSimple, "key length past the file", "new.jpg", kTarget, [](Copy&, Bytes& f) { SetWord(f, 12, 0xFFFFFF00); }},
    {kSimple, "key's last byte changed", "new.jpg", kTarget, [](Copy&, Bytes& f) { f.at(24 + Word(f, 12) - 1) ^= 1; }},
    {kSimple, "cut short by a byte", "new.jpg", kTarget, [](Copy&, Bytes& f) { f.pop_back(); }},
    {kSimple, "held by the browser", "new.jpg", kTarget, [](Copy& c, Bytes&) { c.held.insert(c.target); }},

    {kFirefox, "metadata offset past the end", "new.jpg", kTarget,
     [](Copy&, Bytes& f) { SetWord(f, f.size() - 4, f.size(), true); }},
    {kFirefox, "encrypted", "new.jpg", kTarget, [](Copy&, Bytes& f) { f.at(f.size() - 4) |= 0x80; }},
    {kFirefox, "cut short by a byte", "new.jpg", kTarget, [](Copy&, Bytes& f) { f.pop_back(); }},
    {kFirefox, "metadata hash changed", "new.jpg", kTarget,
     [](Copy&, Bytes& f) { f.at(Word(f, f.size() - 4, true)) ^= 1; }},
    {kFirefox, "held by the browser", "new.jpg", kTarget, [](Copy& c, Bytes&) { c.held.insert(c.target); }},

    {kSql, "shard held by the browser", "new.jpg", kItsFile,
     [](Copy& c, Bytes&) { c.held.insert(c.target); }},
    {kSql, "not a database", "icon.png", kItsFile, [](Copy&, Bytes& f) { f.at(0) ^= 1; }},
    {kSql, "cut short", "old.jpg", kItsFile, [](Copy&, Bytes& f) { f.resize(f.size() / 2); }},
    {kSql, "layout too new", "banner.png", kItsFile,
     [](Copy&, Bytes& f) { f.at(Find(f, BytesOf("last_compatible_version8")) + 23) = '9'; }},
    {kSql, "resource doomed", "pixel.gif", kTarget,
     [](Copy& c, Bytes& f) { f.at(c.Resource(f, "pixel.gif") + 6) = 9; }},
    {kSql, "a body's byte changed", "small.js", kTarget,
     [](Copy&, Bytes& f) { f.at(Find(f, DiskBytes(CacheFolder("site") + "/small.js")) + 5) ^= 1; }},
    // pixel.gif's one row of blobs, at start 0 (in its table and its index),
    // moved a byte on and the body a byte longer: its first byte is missing.
    {kSql, "blob rows with a gap", "pixel.gif", kTarget,
     [](Copy& c, Bytes& f) {
         const std::size_t resource = c.Resource(f, "pixel.gif"), blob = c.Blob(f, "pixel.gif");
         ++f.at(resource + f.at(resource) + 8);  // body_end, of a byte
         ++f.at(blob + f.at(blob) + 1);          // end, of a byte
         f.at(blob + 3) = 9;
         f.at(Find(f, {4, 1, 8, 1, f.at(blob + f.at(blob)), f.at(blob - 1)}) + 2) = 9;
     }},
};

class CacheDamageTest : public CacheReadersTest, public testing::WithParamInterface<Damage> {};

// What the fault takes away goes, and every other entry reads as before.
TEST_P(CacheDamageTest, PassesOverWhatItMust)
{
    const Damage& row = GetParam();
    Copy copy;
    Load(kLayouts[row.layout], copy);
    List(kLayouts[row.layout], copy, copy.intact);
    copy.target = copy.intact.at(row.target).file;
    row.damage(copy, copy.files.at(copy.target));
    std::map<std::string, CacheEntry> read;
    List(kLayouts[row.layout], copy, read);
    std::size_t kept = 0;
    for (const auto& [path, entry] : copy.intact) {
        const bool goes = row.gone == kAll || (row.gone == kTarget && path == row.target) ||
                          (row.gone == kItsFile && entry.file == copy.target);
        kept += goes ? 0 : 1;
        EXPECT_EQ(read.count(path), goes ? 0u : 1u) << path;
        EXPECT_EQ(read.count(path) != 0 ? read.at(path).used : entry.used, entry.used) << path;
    }
    EXPECT_EQ(read.size(), kept);
}

INSTANTIATE_TEST_SUITE_P(Faults, CacheDamageTest, testing::ValuesIn(kDamages));

}  // namespace

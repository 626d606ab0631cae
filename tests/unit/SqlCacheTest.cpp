#include "pictures/SqlCache.h"

#include "tests/MemoryFiles.h"
#include "tests/unit/DiskFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

using pictures::Bytes;
using pictures::CacheEntry;

namespace {

// What the loopback server served (DEST/site), by URL path, and on which
// visit; tools/caches had Debian's chromium fetch both pages into one cache.
struct Served {
    const char* path;
    int visit;
};
constexpr Served kServed[] = {
    {"first.html", 1}, {"old.jpg", 1},    {"big.js", 1},      {"second.html", 2}, {"new.jpg", 2},
    {"copy/new.jpg", 2}, {"pixel.gif", 2}, {"icon.png", 2}, {"banner.png", 2},  {"small.js", 2},
};

constexpr std::size_t kWhole = std::numeric_limits<std::size_t>::max();

Bytes FileBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The URL path of a key such as "1/0/_dk_http://127.0.0.1 http://127.0.0.1
// http://127.0.0.1:PORT/copy/new.jpg": "copy/new.jpg".
std::string UrlPath(const std::string& key)
{
    const std::string url = key.substr(key.rfind(' ') + 1);
    const std::string::size_type scheme = url.find("://");
    const std::string::size_type slash = scheme == std::string::npos ? scheme : url.find('/', scheme + 3);
    return slash == std::string::npos ? std::string() : url.substr(slash + 1);
}

// The listed entries by URL path.
std::map<std::string, CacheEntry> EntriesByPath(pictures::CacheReader& reader)
{
    std::map<std::string, CacheEntry> entries;
    for (CacheEntry& entry : reader.List())
        entries[UrlPath(entry.key)] = entry;
    return entries;
}

// Every body that the reader delivers whole, by URL path.
std::map<std::string, Bytes> Bodies(pictures::CacheReader& reader)
{
    std::map<std::string, Bytes> bodies;
    for (const CacheEntry& entry : reader.List()) {
        Bytes bytes;
        if (reader.Read(entry, kWhole, bytes)) {
            EXPECT_EQ(bytes.size(), entry.length) << entry.key;
            bodies[UrlPath(entry.key)] = bytes;
        }
    }
    return bodies;
}

// The records of the leaf pages of a database's tables and indexes, as far as they lie
// in their page (a long one goes on in overflow pages): where each column's
// serial type and value are, so that a test can change a row in place, as a
// torn or foreign write would.
struct Record {
    bool index = false;    // a record of an index, which has no rowid of its own
    std::int64_t rowid = 0;
    std::vector<std::uint64_t> types;
    std::vector<std::size_t> typeAt, valueAt;
    std::size_t localEnd = 0;  // where its bytes in the page end
};

std::uint64_t Varint(const Bytes& bytes, std::size_t& at)
{
    std::uint64_t value = 0;
    for (int i = 0; i < 9 && at < bytes.size(); ++i) {
        const unsigned char byte = bytes[at++];
        if (i == 8)
            return value << 8 | byte;
        value = value << 7 | (byte & 0x7F);
        if ((byte & 0x80) == 0)
            break;
    }
    return value;
}

std::size_t ValueSize(std::uint64_t type)
{
    static const std::size_t sizes[] = {0, 1, 2, 3, 4, 6, 8, 8, 0, 0};
    return type < 10 ? sizes[type] : static_cast<std::size_t>((type - 12) / 2);
}

std::vector<Record> Records(const Bytes& db)
{
    std::vector<Record> records;
    if (db.size() < 100)
        return records;
    const std::size_t pageSize = db[16] << 8 | db[17], usable = pageSize - db[20];
    for (std::size_t page = 0; pageSize >= 512 && (page + 1) * pageSize <= db.size(); ++page) {
        const std::size_t start = page * pageSize, header = start + (page == 0 ? 100 : 0);
        if (db[header] != 13 && db[header] != 10)  // a leaf page of a table or of an index
            continue;
        const std::size_t cells = db[header + 3] << 8 | db[header + 4];
        for (std::size_t cell = 0; cell < cells; ++cell) {
            std::size_t at = start + (db[header + 8 + 2 * cell] << 8 | db[header + 9 + 2 * cell]);
            const std::size_t payload = Varint(db, at);
            Record record;
            record.index = db[header] == 10;
            if (!record.index)
                record.rowid = static_cast<std::int64_t>(Varint(db, at));
            // How much of the payload the page holds, as SQLite's file format says.
            const std::size_t most = record.index ? (usable - 12) * 64 / 255 - 23 : usable - 35;
            const std::size_t least = (usable - 12) * 32 / 255 - 23;
            const std::size_t spill = least + (payload - least) % (usable - 4);
            record.localEnd = at + (payload <= most ? payload : spill <= most ? spill : least);
            const std::size_t recordAt = at, headerEnd = recordAt + Varint(db, at);
            std::size_t valueAt = headerEnd;
            while (at < headerEnd && headerEnd <= record.localEnd) {
                record.typeAt.push_back(at);
                record.types.push_back(Varint(db, at));
                record.valueAt.push_back(valueAt);
                valueAt += ValueSize(record.types.back());
            }
            records.push_back(record);
        }
    }
    return records;
}

// A column's integer, or the least integer where it holds none.
std::int64_t IntegerOf(const Bytes& db, const Record& record, std::size_t column)
{
    const std::uint64_t type = record.types[column];
    if (type == 8 || type == 9)
        return static_cast<std::int64_t>(type - 8);
    if (type == 0 || type > 6 || record.valueAt[column] + ValueSize(type) > record.localEnd)
        return std::numeric_limits<std::int64_t>::min();
    std::uint64_t value = db[record.valueAt[column]] & 0x80 ? ~std::uint64_t{0} : 0;
    for (std::size_t i = 0; i < ValueSize(type); ++i)
        value = value << 8 | db[record.valueAt[column] + i];
    return static_cast<std::int64_t>(value);
}

// Writes an integer over a column's value, in the width it has.
void SetInteger(Bytes& db, const Record& record, std::size_t column, std::int64_t value)
{
    const std::size_t size = ValueSize(record.types[column]);
    ASSERT_TRUE(record.types[column] >= 1 && record.types[column] <= 6);
    ASSERT_LE(record.valueAt[column] + size, record.localEnd);
    ASSERT_LT(value, std::int64_t{1} << (8 * size - 1));
    for (std::size_t i = 0; i < size; ++i)
        db[record.valueAt[column] + i] = static_cast<unsigned char>(value >> (8 * (size - 1 - i)));
}

std::string TextOf(const Bytes& db, const Record& record, std::size_t column)
{
    const std::uint64_t type = record.types[column];
    if (type < 13 || type % 2 == 0)
        return "";
    return std::string(db.begin() + record.valueAt[column], db.begin() + record.valueAt[column] + ValueSize(type));
}

// A copy of the real cache in memory, under a Windows path, with what it held
// before it was damaged.
constexpr char kFolder[] = "C:\\Cache\\Cache_Data";

struct Clean {
    std::map<std::string, CacheEntry> entries;  // by URL path
};

// The row of a resource in its database, and the first blob row of its body.
Record* ResourceRow(std::vector<Record>& records, const CacheEntry& entry)
{
    for (Record& record : records)
        if (!record.index && record.types.size() == 10 && record.rowid == static_cast<std::int64_t>(entry.offset))
            return &record;
    return nullptr;
}
Record* FirstBlobRow(const Bytes& db, std::vector<Record>& records, const CacheEntry& entry)
{
    for (Record& record : records)
        if (!record.index && record.types.size() == 6 &&
            IntegerOf(db, record, 1) == static_cast<std::int64_t>(entry.offset) && IntegerOf(db, record, 2) == 0)
            return &record;
    return nullptr;
}
// The entry of a blob row in the index on (res_id, start).
Record* BlobIndexEntry(const Bytes& db, std::vector<Record>& records, const Record& blob)
{
    for (Record& record : records)
        if (record.index && record.types.size() == 3 && IntegerOf(db, record, 0) == IntegerOf(db, blob, 1) &&
            IntegerOf(db, record, 1) == IntegerOf(db, blob, 2) && IntegerOf(db, record, 2) == blob.rowid)
            return &record;
    return nullptr;
}

// Files that cannot open one path, as when the browser holds it.
class HeldFiles : public pictures::Files {
public:
    HeldFiles(pictures::Files& files, std::string held) : files(files), held(std::move(held)) {}
    std::vector<pictures::FolderEntry> List(const std::string& folder) override { return files.List(folder); }
    std::unique_ptr<pictures::ReadFile> Open(const std::string& path) override
    {
        return path == held ? nullptr : files.Open(path);
    }

private:
    pictures::Files& files;
    std::string held;
};

}  // namespace

class SqlCacheTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (CacheFolder("sql").empty())
            GTEST_SKIP() << "VLM_CACHES names no caches that tools/caches made";
        folder = CacheFolder("sql");
        site = CacheFolder("site");
        ASSERT_TRUE(std::ifstream(folder + "/index").good()) << folder << " holds no SQL cache";
        for (const pictures::FolderEntry& entry : disk.List(folder))
            if (!entry.folder)
                memory.files[kFolder + std::string("\\") + pictures::NameOf(entry.path)] = FileBytes(
                    folder + "/" + pictures::NameOf(entry.path));
        const auto reader = Open(memory);
        ASSERT_TRUE(reader);
        clean.entries = EntriesByPath(*reader);
    }

    static std::unique_ptr<pictures::CacheReader> Open(pictures::Files& files)
    {
        return pictures::OpenSqlCache(kFolder, files.List(kFolder), files);
    }

    Bytes Site(const std::string& path) const { return FileBytes(site + "/" + path); }

    std::string folder, site;
    DiskFiles disk;
    MemoryFiles memory;
    Clean clean;
};

// Each body that the server sent is in the cache under a key that ends in its
// URL, byte for byte, read from the disk as the saver reads it.
TEST_F(SqlCacheTest, ReadsEveryServedBody)
{
    const auto reader = pictures::OpenSqlCache(folder, disk.List(folder), disk);
    ASSERT_TRUE(reader);
    const std::vector<CacheEntry> entries = reader->List();
    const std::map<std::string, Bytes> bodies = Bodies(*reader);
    for (const Served& served : kServed) {
        ASSERT_EQ(bodies.count(served.path), 1u) << served.path;
        EXPECT_EQ(bodies.at(served.path), Site(served.path)) << served.path;
    }
    for (const CacheEntry& entry : entries) {
        EXPECT_EQ(entry.key.compare(0, 8, "1/0/_dk_"), 0) << entry.key;
        EXPECT_EQ(entry.file.rfind(folder + "\\sqldb", 0), 0u) << entry.file;
        EXPECT_GT(entry.length, 0u);
    }
}

// The second visit's bodies were used after the first visit's, and the times
// are microseconds since 1601, as the databases' own last writes are.
TEST_F(SqlCacheTest, TellsWhenEachBodyWasUsed)
{
    pictures::Time firstVisit = 0, secondVisit = std::numeric_limits<pictures::Time>::max();
    for (const Served& served : kServed) {
        ASSERT_EQ(clean.entries.count(served.path), 1u) << served.path;
        const pictures::Time used = clean.entries.at(served.path).used;
        if (served.visit == 1)
            firstVisit = std::max(firstVisit, used);
        else
            secondVisit = std::min(secondVisit, used);
    }
    EXPECT_LT(firstVisit, secondVisit);
    EXPECT_LT(secondVisit - firstVisit, pictures::Time{600} * 1000000);
    for (const pictures::FolderEntry& file : disk.List(folder)) {
        if (pictures::NameOf(file.path) != "sqldb0")
            continue;
        EXPECT_LT(std::abs(file.written - firstVisit), pictures::Time{7 * 86400} * 1000000) << file.written;
    }
}

// A limit reads the body's first bytes only; an entry that no longer matches
// its row (another key, another length, another row) reads nothing.
TEST_F(SqlCacheTest, ReadsTheFirstBytesOfTheEntryListed)
{
    const auto reader = Open(memory);
    ASSERT_TRUE(reader);
    const CacheEntry old = clean.entries.at("old.jpg");
    const Bytes whole = Site("old.jpg");
    for (const std::size_t limit : {std::size_t{0}, std::size_t{1}, std::size_t{32}, whole.size() - 1}) {
        Bytes bytes{1, 2, 3};
        ASSERT_TRUE(reader->Read(old, limit, bytes)) << limit;
        EXPECT_EQ(bytes, Bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(limit))) << limit;
    }
    CacheEntry changed = old;
    changed.key += "x";
    Bytes bytes;
    EXPECT_FALSE(reader->Read(changed, kWhole, bytes));
    changed = old;
    changed.length += 1;
    EXPECT_FALSE(reader->Read(changed, kWhole, bytes));
    changed = old;
    changed.offset = clean.entries.at("big.js").offset + 1000;
    EXPECT_FALSE(reader->Read(changed, kWhole, bytes));
    changed.offset = std::numeric_limits<std::uint64_t>::max();
    EXPECT_FALSE(reader->Read(changed, kWhole, bytes));
    changed = old;
    changed.file = kFolder + std::string("\\sqldb9");
    EXPECT_FALSE(reader->Read(changed, kWhole, bytes));
}

// The other layouts that tools/caches made are not SQL caches.
TEST_F(SqlCacheTest, KnowsOtherLayoutsAreNot)
{
    for (const char* layout : {"blockfile", "simple", "firefox"}) {
        const std::string other = CacheFolder(layout);
        if (!disk.List(other).empty()) {
            EXPECT_FALSE(pictures::OpenSqlCache(other, disk.List(other), disk)) << layout;
        }
    }
}

// Damage done to a copy of the real cache, and what it costs: the served
// bodies that must not be read, those that may go with them, and that every
// other body still reads byte for byte (and nothing reads wrong).
enum class Loss {
    kNone,         // every body still reads
    kTarget,       // the target's body alone is passed over
    kShard,        // every body of the target's database is passed over
    kSomeOfShard,  // the target's body, and maybe others of its database
    kAll,          // the folder is no SQL cache
};

// The copy to damage: its files, the target's database and rows, the body
// that was served for the target, and the path that the browser is to hold.
struct Copy {
    MemoryFiles& files;
    Bytes& db;
    std::vector<Record> records;
    const CacheEntry& target;
    const Bytes served;
    Record* resource;  // the target's row of resources
    Record* blob;      // the first row of its body
    std::string held;
};

struct Damage {
    const char* name;
    const char* target;  // the served path whose row or database is damaged
    Loss loss;
    std::function<void(Copy& copy)> apply;
};

void PrintTo(const Damage& damage, std::ostream* out) { *out << damage.name; }

class SqlCacheDamageTest : public SqlCacheTest, public testing::WithParamInterface<Damage> {};

TEST_P(SqlCacheDamageTest, PassesOverWhatItMust)
{
    const Damage& damage = GetParam();
    ASSERT_EQ(clean.entries.count(damage.target), 1u) << damage.target;
    const CacheEntry& target = clean.entries.at(damage.target);
    Bytes& db = memory.files.at(target.file);
    Copy copy{memory, db, Records(db), target, Site(damage.target), nullptr, nullptr, {}};
    copy.resource = ResourceRow(copy.records, target);
    copy.blob = FirstBlobRow(db, copy.records, target);
    ASSERT_TRUE(copy.resource && copy.blob) << "no rows of " << target.key;
    damage.apply(copy);
    if (HasFatalFailure())
        return;
    HeldFiles held(memory, copy.held);
    const auto reader = Open(held);
    if (damage.loss == Loss::kAll) {
        EXPECT_FALSE(reader);
        return;
    }
    ASSERT_TRUE(reader);
    const std::map<std::string, Bytes> bodies = Bodies(*reader);
    for (const Served& served : kServed) {
        const std::string path = served.path;
        const bool inShard = clean.entries.at(path).file == target.file;
        const bool read = bodies.count(path) == 1;
        if (read) {
            EXPECT_EQ(bodies.at(path), Site(path)) << path;
        }
        switch (damage.loss) {
        case Loss::kNone:
            EXPECT_TRUE(read) << path;
            break;
        case Loss::kTarget:
            EXPECT_EQ(read, path != damage.target) << path;
            break;
        case Loss::kShard:
            EXPECT_EQ(read, !inShard) << path;
            break;
        case Loss::kSomeOfShard:
            EXPECT_TRUE(path == damage.target ? !read : read || inShard) << path;
            break;
        case Loss::kAll:
            break;
        }
    }
}

const Damage kDamages[] = {
    {"doomed", "pixel.gif", Loss::kTarget,
     [](Copy& copy) {
         const Record& row = *copy.resource;
         ASSERT_EQ(row.types[5], 8u);
         copy.db[row.typeAt[5]] = 9;  // doomed: 0 becomes 1
     }},
    {"doomed is NULL", "icon.png", Loss::kTarget,
     [](Copy& copy) {
         copy.db[copy.resource->typeAt[5]] = 0;
     }},
    {"key is a blob", "banner.png", Loss::kTarget,
     [](Copy& copy) {
         const Record& row = *copy.resource;
         std::size_t last = row.typeAt[8];
         while (copy.db[last] & 0x80)
             ++last;
         --copy.db[last];  // an odd serial type (text) becomes the even one (blob) of the same length
     }},
    {"body longer than its rows", "small.js", Loss::kTarget,
     [](Copy& copy) {
         const Record& row = *copy.resource;
         SetInteger(copy.db, row, 3, IntegerOf(copy.db, row, 3) + 1);
     }},
    {"absurd body length", "old.jpg", Loss::kTarget,
     [](Copy& copy) {
         const Record& row = *copy.resource;
         const std::size_t size = ValueSize(row.types[3]);
         SetInteger(copy.db, row, 3, (std::int64_t{1} << (8 * size - 1)) - 1);
     }},
    {"blob rows with a gap", "new.jpg", Loss::kTarget,
     [](Copy& copy) {
         // The body's row moved one byte on (in its table and its index), and
         // the body one byte longer: only the first byte is missing.
         const Record& resource = *copy.resource;
         SetInteger(copy.db, resource, 3, IntegerOf(copy.db, resource, 3) + 1);
         const Record& blob = *copy.blob;
         const Record* indexed = BlobIndexEntry(copy.db, copy.records, blob);
         ASSERT_TRUE(indexed);
         ASSERT_EQ(blob.types[2], 8u);
         ASSERT_EQ(indexed->types[1], 8u);
         copy.db[blob.typeAt[2]] = copy.db[indexed->typeAt[1]] = 9;
         SetInteger(copy.db, blob, 3, IntegerOf(copy.db, blob, 3) + 1);
     }},
    {"a changed byte in a body", "pixel.gif", Loss::kTarget,
     [](Copy& copy) {
         ASSERT_LT(copy.blob->valueAt[5] + 10, copy.blob->localEnd);
         copy.db[copy.blob->valueAt[5] + 10] ^= 0x01;
     }},
    {"cut short", "old.jpg", Loss::kSomeOfShard,
     [](Copy& copy) {
         // Cut where the target's last bytes begin: some twelve of its last
         // 64 lie in one page.
         const Bytes& body = copy.served;
         ASSERT_GE(body.size(), 64u);
         auto cut = copy.db.end();
         for (std::size_t at = body.size() - 64; at + 12 <= body.size() && cut == copy.db.end(); ++at)
             cut = std::search(copy.db.begin(), copy.db.end(), body.begin() + at, body.begin() + at + 12);
         ASSERT_NE(cut, copy.db.end());
         copy.db.erase(cut, copy.db.end());
     }},
    {"cut to its header", "new.jpg", Loss::kShard,
     [](Copy& copy) { copy.db.resize(100); }},
    {"cut to nothing", "big.js", Loss::kShard,
     [](Copy& copy) { copy.db.clear(); }},
    {"not a database", "icon.png", Loss::kShard,
     [](Copy& copy) {
         for (std::size_t i = 0; i < copy.db.size(); ++i)
             copy.db[i] = static_cast<unsigned char>(i * 7919 >> 3);
     }},
    {"shard missing", "copy/new.jpg", Loss::kShard,
     [](Copy& copy) { copy.files.files.erase(copy.target.file); }},
    {"held by the browser", "big.js", Loss::kShard,
     [](Copy& copy) { copy.held = copy.target.file; }},
    {"a table renamed", "small.js", Loss::kShard,
     [](Copy& copy) {
         const std::size_t pageSize = copy.db[16] << 8 | copy.db[17];
         for (std::size_t at = 0; at + 5 <= pageSize; ++at)
             if (std::memcmp(&copy.db[at], "blobs", 5) == 0)
                 copy.db[at + 4] = 'z';
     }},
    {"a layout too new", "banner.png", Loss::kShard,
     [](Copy& copy) {
         bool found = false;
         for (const Record& record : copy.records)
             if (!record.index && record.types.size() == 2 &&
                 TextOf(copy.db, record, 0) == "last_compatible_version") {
                 ASSERT_EQ(TextOf(copy.db, record, 1), "8");
                 copy.db[record.valueAt[1]] = '9';
                 found = true;
             }
         ASSERT_TRUE(found);
     }},
    {"write-ahead log mode", "old.jpg", Loss::kNone,
     [](Copy& copy) { copy.db[18] = copy.db[19] = 2; }},
    {"index of another layout", "old.jpg", Loss::kAll,
     [](Copy& copy) {
         copy.files.files.at(kFolder + std::string("\\index")) = {0xC3, 0xCA, 0x03, 0xC1, 0, 0, 3, 0};
     }},
    {"no index", "old.jpg", Loss::kAll,
     [](Copy& copy) {
         copy.files.files.erase(kFolder + std::string("\\index"));
     }},
};

INSTANTIATE_TEST_SUITE_P(Damages, SqlCacheDamageTest, testing::ValuesIn(kDamages));

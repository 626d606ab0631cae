#include "pictures/SqlCache.h"

#include "pictures/Numbers.h"
#include "pictures/SqliteFiles.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

namespace pictures {
namespace {

// The index file begins with this text, then the journal's mode and the
// number of shards ("SQLCacheTruncate3").
constexpr char kIndexMagic[] = "SQLCache";
constexpr std::size_t kIndexMagicLength = sizeof kIndexMagic - 1;
// Chromium makes 1 to 255 shards.
constexpr int kMaxShards = 256;

// The layouts this reader knows: from version 7, which gave every blob row
// its checksum, to version 8 (Chromium 156, in Debian 12), which added the
// resources' hints. A later version that keeps to these tables says so by
// keeping its last compatible version at 8 or below.
constexpr sqlite3_int64 kOldestVersion = 7;
constexpr sqlite3_int64 kNewestCompatible = 8;

// A prepared statement, finalised when it goes.
class Statement {
public:
    Statement(sqlite3* db, const char* sql)
    {
        if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
            sqlite3_finalize(statement);
            statement = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(statement); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    explicit operator bool() const { return statement != nullptr; }
    bool Bind(int index, sqlite3_int64 value) { return sqlite3_bind_int64(statement, index, value) == SQLITE_OK; }
    // SQLITE_ROW, SQLITE_DONE or an error.
    int Step() { return sqlite3_step(statement); }

    bool IsInteger(int column) const { return sqlite3_column_type(statement, column) == SQLITE_INTEGER; }
    sqlite3_int64 Integer(int column) const { return sqlite3_column_int64(statement, column); }
    // The column's text, which may hold any bytes; false unless it is text.
    bool Text(int column, std::string& text) const
    {
        if (sqlite3_column_type(statement, column) != SQLITE_TEXT)
            return false;
        const auto* bytes = sqlite3_column_text(statement, column);
        const int length = sqlite3_column_bytes(statement, column);
        if (bytes == nullptr || length < 0)
            return false;
        text.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
        return true;
    }

private:
    sqlite3_stmt* statement = nullptr;
};

// A number of the meta table, which keeps them as text.
bool MetaNumber(const Statement& statement, int column, sqlite3_int64& number)
{
    std::string text;
    if (statement.IsInteger(column)) {
        number = statement.Integer(column);
        return true;
    }
    if (!statement.Text(column, text) || text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    number = std::stoll(text);
    return true;
}

// The tables are tables (not views) and the meta table names a version that
// this reader knows.
bool IsKnownLayout(sqlite3* db)
{
    Statement statement(db,
                        "SELECT (SELECT count(*) FROM sqlite_schema WHERE type='table' AND "
                        "name IN ('resources','blobs','meta')), "
                        "(SELECT value FROM meta WHERE key='version'), "
                        "(SELECT value FROM meta WHERE key='last_compatible_version')");
    sqlite3_int64 version = 0, compatible = 0;
    return statement && statement.Step() == SQLITE_ROW && statement.Integer(0) == 3 &&
           MetaNumber(statement, 1, version) && MetaNumber(statement, 2, compatible) && version >= kOldestVersion &&
           compatible <= kNewestCompatible;
}

// A blob row's checksum: the CRC-32 of its bytes followed by the key's hash,
// big-endian.
std::uint32_t BlobCheckSum(const unsigned char* bytes, std::size_t size, std::uint32_t keyHash)
{
    const unsigned char hash[4] = {static_cast<unsigned char>(keyHash >> 24), static_cast<unsigned char>(keyHash >> 16),
                                   static_cast<unsigned char>(keyHash >> 8), static_cast<unsigned char>(keyHash)};
    return Crc32(hash, sizeof hash, Crc32(bytes, size));
}

// The blob rows of a resource, in order of start.
constexpr char kBlobRows[] =
    "SELECT blob_id, \"start\", \"end\", check_sum, length(blob), typeof(blob)='blob' "
    "FROM blobs WHERE res_id=? ORDER BY \"start\"";

// One blob row as read from kBlobRows; false unless it carries on the body
// exactly where the rows before it ended, within the body's length.
struct BlobRow {
    sqlite3_int64 id = 0, start = 0, end = 0;
    std::uint32_t checkSum = 0;
};
bool NextRow(const Statement& rows, sqlite3_int64 expectedStart, sqlite3_int64 length, BlobRow& row)
{
    for (int column = 0; column < 5; ++column)
        if (!rows.IsInteger(column))
            return false;
    row.id = rows.Integer(0);
    row.start = rows.Integer(1);
    row.end = rows.Integer(2);
    row.checkSum = static_cast<std::uint32_t>(rows.Integer(3));
    return rows.Integer(5) == 1 && row.start == expectedStart && row.end > row.start && row.end <= length &&
           rows.Integer(4) == row.end - row.start;
}

class SqlCacheReader : public CacheReader {
public:
    SqlCacheReader(Files& files, std::vector<std::string> databases) : files(files), databases(std::move(databases))
    {
    }

    std::vector<CacheEntry> List() override
    {
        std::vector<CacheEntry> entries;
        for (const std::string& database : databases) {
            try {
                std::vector<CacheEntry> found = ListDatabase(database);
                entries.insert(entries.end(), std::make_move_iterator(found.begin()),
                               std::make_move_iterator(found.end()));
            } catch (...) {
                // Out of memory: this database is passed over.
            }
        }
        return entries;
    }

    bool Read(const CacheEntry& entry, std::size_t limit, Bytes& bytes) override
    {
        try {
            return ReadBody(entry, limit, bytes);
        } catch (...) {
            return false;
        }
    }

private:
    // The live resources with a body, or none where the database cannot be
    // read to its end.
    std::vector<CacheEntry> ListDatabase(const std::string& path)
    {
        std::vector<CacheEntry> entries;
        const SqliteLock lock;
        const std::unique_ptr<SqliteDatabase> database = SqliteDatabase::Open(lock, files, path);
        if (!database || !IsKnownLayout(database->Handle()))
            return {};
        Statement rows(database->Handle(),
                       "SELECT res_id, last_used, body_end, cache_key FROM resources WHERE doomed=0 AND body_end>0");
        if (!rows)
            return {};
        int step;
        while ((step = rows.Step()) == SQLITE_ROW) {
            CacheEntry entry;
            if (!rows.IsInteger(0) || !rows.IsInteger(1) || !rows.IsInteger(2) || !rows.Text(3, entry.key))
                continue;
            const sqlite3_int64 id = rows.Integer(0), length = rows.Integer(2);
            // A body cannot be longer than the database that holds it.
            if (id < 0 || static_cast<std::uint64_t>(length) > database->FileSize())
                continue;
            entry.used = rows.Integer(1);
            entry.file = path;
            entry.offset = static_cast<std::uint64_t>(id);
            entry.length = static_cast<std::uint64_t>(length);
            entries.push_back(std::move(entry));
        }
        return step == SQLITE_DONE ? std::move(entries) : std::vector<CacheEntry>();
    }

    bool ReadBody(const CacheEntry& entry, std::size_t limit, Bytes& bytes)
    {
        constexpr auto kMaxInteger = static_cast<std::uint64_t>(std::numeric_limits<sqlite3_int64>::max());
        if (entry.offset > kMaxInteger || entry.length > kMaxInteger)
            return false;
        const auto id = static_cast<sqlite3_int64>(entry.offset);
        const auto length = static_cast<sqlite3_int64>(entry.length);
        const SqliteLock lock;
        const std::unique_ptr<SqliteDatabase> database = SqliteDatabase::Open(lock, files, entry.file);
        if (!database || !IsKnownLayout(database->Handle()) || entry.length > database->FileSize())
            return false;
        sqlite3* db = database->Handle();

        // The resource is still the one listed: live, the same key and length.
        Statement resource(db, "SELECT body_end, doomed, cache_key_hash, cache_key FROM resources WHERE res_id=?");
        std::string key;
        if (!resource || !resource.Bind(1, id) || resource.Step() != SQLITE_ROW || !resource.IsInteger(0) ||
            !resource.IsInteger(1) || !resource.IsInteger(2) || !resource.Text(3, key) ||
            resource.Integer(0) != length || resource.Integer(1) != 0 || key != entry.key)
            return false;
        const auto keyHash = static_cast<std::uint32_t>(resource.Integer(2));

        // First the rows must join into the whole body, without gap or
        // overlap; only then is room made for it.
        {
            Statement rows(db, kBlobRows);
            if (!rows || !rows.Bind(1, id))
                return false;
            sqlite3_int64 joined = 0;
            BlobRow row;
            int step;
            while ((step = rows.Step()) == SQLITE_ROW) {
                if (!NextRow(rows, joined, length, row))
                    return false;
                joined = row.end;
            }
            if (step != SQLITE_DONE || joined != length)
                return false;
        }
        const auto wanted = static_cast<sqlite3_int64>(std::min<std::uint64_t>(entry.length, limit));
        bytes.assign(static_cast<std::size_t>(wanted), 0);

        // Then the rows' bytes, each row read whole checked against its
        // checksum (a row that the limit cuts short is taken as it is).
        Statement rows(db, kBlobRows);
        if (!rows || !rows.Bind(1, id))
            return false;
        sqlite3_blob* blob = nullptr;
        struct BlobCloser {
            sqlite3_blob*& blob;
            ~BlobCloser() { sqlite3_blob_close(blob); }
        } closer{blob};
        sqlite3_int64 done = 0;
        BlobRow row;
        while (done < wanted) {
            if (rows.Step() != SQLITE_ROW || !NextRow(rows, done, length, row))
                return false;
            const int opened = blob == nullptr ? sqlite3_blob_open(db, "main", "blobs", "blob", row.id, 0, &blob)
                                               : sqlite3_blob_reopen(blob, row.id);
            if (opened != SQLITE_OK || sqlite3_blob_bytes(blob) != row.end - row.start)
                return false;
            const sqlite3_int64 count = std::min(row.end, wanted) - row.start;
            unsigned char* into = bytes.data() + row.start;
            if (sqlite3_blob_read(blob, into, static_cast<int>(count), 0) != SQLITE_OK)
                return false;
            if (count == row.end - row.start &&
                BlobCheckSum(into, static_cast<std::size_t>(count), keyHash) != row.checkSum)
                return false;
            done = row.start + count;
        }
        return true;
    }

    Files& files;
    const std::vector<std::string> databases;  // the shards' paths, in order
};

// The shard's number from a name "sqldb<N>", or -1.
int ShardNumber(const std::string& name)
{
    constexpr char kPrefix[] = "sqldb";
    constexpr std::size_t kPrefixLength = sizeof kPrefix - 1;
    if (name.size() <= kPrefixLength || name.size() > kPrefixLength + 3 || name.compare(0, kPrefixLength, kPrefix) != 0)
        return -1;
    const std::string digits = name.substr(kPrefixLength);
    if (digits.find_first_not_of("0123456789") != std::string::npos || (digits.size() > 1 && digits[0] == '0'))
        return -1;
    const int number = std::stoi(digits);
    return number < kMaxShards ? number : -1;
}

}  // namespace

std::unique_ptr<CacheReader> OpenSqlCache(const std::string& folder, const std::vector<FolderEntry>& listing,
                                          Files& files)
{
    try {
        const std::string index = folder + "\\index";
        bool hasIndex = false;
        std::vector<std::pair<int, std::string>> shards;
        for (const FolderEntry& entry : listing) {
            if (entry.folder)
                continue;
            const std::string name = NameOf(entry.path);
            const int shard = ShardNumber(name);
            if (shard >= 0)
                shards.emplace_back(shard, folder + "\\" + name);
            hasIndex = hasIndex || name == "index";
        }
        if (!hasIndex || shards.empty())
            return nullptr;
        const std::unique_ptr<ReadFile> file = files.Open(index);
        char magic[kIndexMagicLength];
        if (!file || file->Size() < kIndexMagicLength || !file->ReadAt(0, magic, kIndexMagicLength) ||
            std::memcmp(magic, kIndexMagic, kIndexMagicLength) != 0)
            return nullptr;
        std::sort(shards.begin(), shards.end());
        std::vector<std::string> databases;
        for (auto& shard : shards)
            databases.push_back(std::move(shard.second));
        return std::make_unique<SqlCacheReader>(files, std::move(databases));
    } catch (...) {
        return nullptr;
    }
}

}  // namespace pictures

// The Firefox cache2 reader over the entries that Debian's firefox-esr wrote
// in two visits (tools/caches), and over copies of them in memory with damage
// done, or split into their pieces and joined again as other versions of
// Firefox, or other events, leave them.
#include "pictures/FirefoxCache.h"
#include "tests/unit/RealCaches.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

using pictures::Bytes;
using pictures::CacheEntry;

const std::string kFolder = "C:\\profile\\cache2\\entries";
constexpr std::size_t kChunk = 256 * 1024;

std::unique_ptr<pictures::CacheReader> Open(pictures::Files& files, const std::string& folder)
{
    return pictures::OpenFirefoxCache(folder, files.List(folder), files);
}

std::uint32_t Big32(const Bytes& bytes, std::size_t at)
{
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 | std::uint32_t{bytes[at + 2]} << 8 |
           bytes[at + 3];
}
void PutBig32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (24 - 8 * i));
}
void AppendBig32(Bytes& bytes, std::uint32_t value)
{
    bytes.resize(bytes.size() + 4);
    PutBig32(bytes, bytes.size() - 4, value);
}

// Bob Jenkins' lookup2 with initial value 0, as Firefox hashes its metadata:
// bytes gathered little-endian into three words, 12 at a time, then the rest
// with the length in the third word's low byte.
std::uint32_t Lookup2(const Bytes& data)
{
    std::uint32_t v[3] = {0x9E3779B9u, 0x9E3779B9u, 0};
    const auto mix = [&v] {
        const int shifts[9] = {13, -8, 13, 12, -16, 5, 3, -10, 15};  // negative: to the left
        for (int i = 0; i < 9; ++i) {
            std::uint32_t& x = v[i % 3];
            x -= v[(i + 1) % 3];
            x -= v[(i + 2) % 3];
            const std::uint32_t by = v[(i + 2) % 3];
            x ^= shifts[i] > 0 ? by >> shifts[i] : by << -shifts[i];
        }
    };
    std::size_t at = 0;
    for (; data.size() - at >= 12; at += 12) {
        for (int i = 0; i < 12; ++i)
            v[i / 4] += std::uint32_t{data[at + i]} << (8 * (i % 4));
        mix();
    }
    v[2] += static_cast<std::uint32_t>(data.size());
    for (std::size_t i = 0; at + i < data.size(); ++i)
        v[i / 4] += std::uint32_t{data[at + i]} << (8 * (i % 4) + (i >= 8 ? 8 : 0));
    mix();
    return v[2];
}

// An entry file split into its pieces, to be joined again after a change, its
// metadata's hash made good.
struct Pieces {
    Bytes body;
    Bytes chunkHashes;
    // Version, fetch count, last fetched, last modified, frecency, expiration,
    // key size and flags (not written for version 1).
    std::uint32_t header[8] = {};
    std::string key;
    std::string elements;
    // The word before the offset from version 4 on; 0 where the file ends
    // with the offset alone, as before.
    std::uint32_t trailerVersion = 0;
    std::uint32_t offsetTop = 0;  // bits set in the offset word above the body's length
};

Pieces Split(const Bytes& file)
{
    Pieces pieces;
    const std::uint32_t offset = Big32(file, file.size() - 4);
    const bool versionWord = file[file.size() - 5] != 0;
    pieces.trailerVersion = versionWord ? Big32(file, file.size() - 8) : 0;
    pieces.body.assign(file.begin(), file.begin() + offset);
    std::size_t at = offset + 4;
    const std::size_t hashes = 2 * ((offset + kChunk - 1) / kChunk);
    pieces.chunkHashes.assign(file.begin() + at, file.begin() + at + hashes);
    at += hashes;
    for (std::uint32_t& word : pieces.header) {
        word = Big32(file, at);
        at += 4;
    }
    pieces.key.assign(file.begin() + at, file.begin() + at + pieces.header[6]);
    at += pieces.key.size() + 1;
    pieces.elements.assign(file.begin() + at, file.end() - (versionWord ? 8 : 4));
    return pieces;
}

Bytes Join(const Pieces& pieces)
{
    Bytes content = pieces.chunkHashes;
    for (int i = 0; i < (pieces.header[0] == 1 ? 7 : 8); ++i)
        AppendBig32(content, pieces.header[i]);
    content.insert(content.end(), pieces.key.begin(), pieces.key.end());
    content.push_back(0);
    content.insert(content.end(), pieces.elements.begin(), pieces.elements.end());
    Bytes file = pieces.body;
    AppendBig32(file, Lookup2(content));
    file.insert(file.end(), content.begin(), content.end());
    if (pieces.trailerVersion != 0)
        AppendBig32(file, pieces.trailerVersion);
    AppendBig32(file, static_cast<std::uint32_t>(pieces.body.size()) | pieces.offsetTop);
    return file;
}

// An entry file changed piece by piece.
template <class Change>
void Remake(DamagedFiles& files, const std::string& entry, Change change)
{
    Pieces pieces = Split(files.files[entry]);
    change(pieces);
    files.files[entry] = Join(pieces);
}

TEST(FirefoxCacheTest, ServedBodiesByteForByteAndVisitsInOrder)
{
    const std::string folder = RealCache("firefox");
    ASSERT_FALSE(folder.empty());
    DiskFiles files;
    const std::unique_ptr<pictures::CacheReader> reader = Open(files, folder);
    ASSERT_NE(reader, nullptr);
    files.opened.clear();
    const std::vector<CacheEntry> entries = reader->List();
    // Each entry file is opened once while listing.
    for (const CacheEntry& entry : entries)
        EXPECT_EQ(files.opened[entry.file], 1) << entry.file;
    ExpectServedBodies(*reader, entries);
    ExpectVisitsInOrder(entries);
}

// Split and joined again, every real entry file is the same bytes: the
// tests' own hash is Firefox's.
TEST(FirefoxCacheTest, EntriesPutTogetherAgainAreTheSame)
{
    const std::string disk = RealCache("firefox");
    ASSERT_FALSE(disk.empty());
    const DamagedFiles cache = CopyToMemory(disk, kFolder);
    ASSERT_FALSE(cache.files.empty());
    for (const auto& [path, bytes] : cache.files)
        EXPECT_TRUE(Join(Split(bytes)) == bytes) << path;
}

// Folders that are not a cache2 entries folder, or whose entry files do not
// end as such files end, give no reader.
TEST(FirefoxCacheTest, OtherFoldersAreNotFirefoxCaches)
{
    const std::string disk = RealCache("firefox");
    ASSERT_FALSE(disk.empty());
    const DamagedFiles cache = CopyToMemory(disk, kFolder);
    const struct {
        const char* what;
        void (*apply)(DamagedFiles& files);
    } cases[] = {
        {"no files", [](DamagedFiles& files) { files.files.clear(); }},
        {"lower-case entry names",
         [](DamagedFiles& files) {
             std::map<std::string, Bytes> renamed;
             for (auto& [path, bytes] : files.files) {
                 std::string name = pictures::NameOf(path);
                 std::transform(name.begin(), name.end(), name.begin(), [](char c) { return std::tolower(c); });
                 renamed[kFolder + "\\" + name] = bytes;
             }
             files.files = renamed;
         }},
        {"entry files that end past themselves",
         [](DamagedFiles& files) {
             for (auto& [path, bytes] : files.files)
                 PutBig32(bytes, bytes.size() - 4, static_cast<std::uint32_t>(bytes.size()));
         }},
        {"entry files that vanished",
         [](DamagedFiles& files) {
             for (const auto& [path, bytes] : files.files)
                 files.vanished.insert(path);
         }},
    };
    for (const auto& c : cases) {
        DamagedFiles files = cache;
        c.apply(files);
        EXPECT_EQ(Open(files, kFolder), nullptr) << c.what;
    }
}

// Damage done to new.jpg's entry file, and the forms other versions and uses
// of Firefox give it: what does not hold together, or what Firefox marks as
// unreadable, is passed over; everything else comes out as before, and
// nothing is read outside a file.
TEST(FirefoxCacheTest, DamagePassesOverWhatItMust)
{
    using F = DamagedFiles;
    using S = const std::string;
    const struct {
        const char* what;
        void (*apply)(DamagedFiles& files, const std::string& entry);
        bool listed;           // whether new.jpg's entry still comes out
        std::uint64_t length;  // where it does, its body's length; 0: all that was served
        bool fetched;          // whether its last use comes from the entry, not the listing
    } cases[] = {
        {"untouched", [](F&, S&) {}, true, 0, true},
        // Cut short while Firefox wrote it, or changed meanwhile.
        {"cut short by a byte", [](F& f, S& e) { f.files[e].pop_back(); }, false, 0, false},
        {"cut in its body", [](F& f, S& e) { f.files[e].resize(f.files[e].size() / 2); }, false, 0, false},
        {"emptied", [](F& f, S& e) { f.files[e].clear(); }, false, 0, false},
        {"the metadata's offset past the end",
         [](F& f, S& e) {
             PutBig32(f.files[e], f.files[e].size() - 4, static_cast<std::uint32_t>(f.files[e].size() + 100));
         },
         false, 0, false},
        {"the metadata's offset a byte early",
         [](F& f, S& e) { PutBig32(f.files[e], f.files[e].size() - 4, Big32(f.files[e], f.files[e].size() - 4) - 1); },
         false, 0, false},
        {"the metadata's hash changed",
         [](F& f, S& e) { f.files[e][Big32(f.files[e], f.files[e].size() - 4)] ^= 0x01; }, false, 0, false},
        {"its last fetch changed but not the hash",
         [](F& f, S& e) { f.files[e][Big32(f.files[e], f.files[e].size() - 4) + 4 + 2 + 11] ^= 0x01; }, false, 0,
         false},
        // The header, its hash made good.
        {"a key size past the file", [](F& f, S& e) { Remake(f, e, [](Pieces& p) { p.header[6] = 0xFFFFFF00; }); },
         false, 0, false},
        {"a key size one less: the key's NUL is not there",
         [](F& f, S& e) { Remake(f, e, [](Pieces& p) { --p.header[6]; }); }, false, 0, false},
        {"a version not known in the header", [](F& f, S& e) { Remake(f, e, [](Pieces& p) { p.header[0] = 5; }); },
         false, 0, false},
        {"a version not known in the trailer",
         [](F& f, S& e) { Remake(f, e, [](Pieces& p) { p.trailerVersion = 5; }); }, false, 0, false},
        // Firefox's mark of an encrypted entry: the top bit of its last word.
        {"encrypted", [](F& f, S& e) { Remake(f, e, [](Pieces& p) { p.offsetTop = 0x80000000u; }); }, false, 0, false},
        {"a flag not known", [](F& f, S& e) { Remake(f, e, [](Pieces& p) { p.header[7] |= 1u << 1; }); }, false, 0,
         false},
        {"pinned", [](F& f, S& e) { Remake(f, e, [](Pieces& p) { p.header[7] |= 1u << 0; }); }, true, 0, true},
        {"never fetched", [](F& f, S& e) { Remake(f, e, [](Pieces& p) { p.header[2] = 0; }); }, true, 0, false},
        // As older versions of Firefox wrote it.
        {"version 3, ending with the offset alone",
         [](F& f, S& e) {
             Remake(f, e, [](Pieces& p) {
                 p.header[0] = 3;
                 p.trailerVersion = 0;
             });
         },
         true, 0, true},
        {"version 1, without flags",
         [](F& f, S& e) {
             Remake(f, e, [](Pieces& p) {
                 p.header[0] = 1;
                 p.trailerVersion = 0;
             });
         },
         true, 0, true},
        // The elements, the hash made good.
        {"alternative data after the body's first 100 bytes",
         [](F& f, S& e) { Remake(f, e, [](Pieces& p) { p.elements += std::string("alt-data\0" "1;100,x\0", 17); }); },
         true, 100, true},
        {"alternative data past the body",
         [](F& f, S& e) {
             Remake(f, e, [](Pieces& p) {
                 p.elements += std::string("alt-data\0", 9) + "1;" + std::to_string(p.body.size() + 1) + ",x" + '\0';
             });
         },
         false, 0, false},
        {"alternative data of a version not known",
         [](F& f, S& e) { Remake(f, e, [](Pieces& p) { p.elements += std::string("alt-data\0" "2;100,x\0", 17); }); },
         false, 0, false},
        {"elements that do not pair up",
         [](F& f, S& e) { Remake(f, e, [](Pieces& p) { p.elements += std::string("lone\0", 5); }); }, false, 0, false},
        {"elements without their last NUL", [](F& f, S& e) { Remake(f, e, [](Pieces& p) { p.elements.pop_back(); }); },
         false, 0, false},
        // Files beside it, and files that go.
        {"a copy under a lower-case name beside it",
         [](F& f, S& e) {
             std::string name = pictures::NameOf(e);
             std::transform(name.begin(), name.end(), name.begin(), [](char c) { return std::tolower(c); });
             f.files[kFolder + "\\" + name] = f.files[e];
         },
         true, 0, true},
        {"vanished after the listing", [](F& f, S& e) { f.vanished.insert(e); }, false, 0, false},
    };

    const std::string disk = RealCache("firefox");
    ASSERT_FALSE(disk.empty());
    const DamagedFiles cache = CopyToMemory(disk, kFolder);
    DamagedFiles untouched = cache;
    const std::vector<CacheEntry> before = Open(untouched, kFolder)->List();
    const std::vector<CacheEntry> photo = EntriesOf(before, "new.jpg");
    ASSERT_EQ(photo.size(), 1u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DamagedFiles files = cache;
        c.apply(files, photo[0].file);
        const std::unique_ptr<pictures::CacheReader> reader = Open(files, kFolder);
        ASSERT_NE(reader, nullptr);
        const std::vector<CacheEntry> after = reader->List();
        ExpectInsideFiles(*reader, files, after);
        EXPECT_EQ(after.size(), before.size() - (c.listed ? 0 : 1));
        for (const CacheEntry& entry : before) {
            const bool isPhoto = entry.file == photo[0].file;
            const auto found = std::find_if(after.begin(), after.end(), [&](const CacheEntry& other) {
                return other.file == entry.file && other.key == entry.key && other.offset == entry.offset &&
                       other.length == (isPhoto && c.length != 0 ? c.length : entry.length);
            });
            EXPECT_EQ(found != after.end(), !isPhoto || c.listed) << entry.key;
            if (found != after.end()) {
                EXPECT_EQ(found->used, isPhoto && !c.fetched ? 0 : entry.used) << entry.key;
            }
        }
    }
}

}  // namespace

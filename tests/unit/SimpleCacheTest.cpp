// The Simple cache reader over the cache that Debian's chromium wrote in two
// visits (tools/caches), and over copies of it in memory with damage done.
#include "pictures/SimpleCache.h"
#include "tests/unit/RealCaches.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cctype>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace {

using pictures::Bytes;
using pictures::CacheEntry;

const std::string kFolder = "C:\\cache";
const std::string kIndex = kFolder + "\\index-dir\\the-real-index";

std::unique_ptr<pictures::CacheReader> Open(pictures::Files& files, const std::string& folder)
{
    return pictures::OpenSimpleCache(folder, files.List(folder), files);
}

std::uint32_t Little32(const Bytes& bytes, std::size_t at)
{
    return bytes[at] | std::uint32_t{bytes[at + 1]} << 8 | std::uint32_t{bytes[at + 2]} << 16 |
           std::uint32_t{bytes[at + 3]} << 24;
}
void PutLittle32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<unsigned char>(value >> (8 * i));
}

// Where stream 1's end record lies: before stream 0, the key's SHA-256 (which
// chromium writes) and stream 0's end record.
std::size_t Stream1End(const Bytes& file) { return file.size() - 24 - 32 - Little32(file, file.size() - 8) - 24; }

// The index's pickle made good again after a change: its CRC-32, by zlib.
void Reseal(Bytes& index)
{
    PutLittle32(index, 4, static_cast<std::uint32_t>(crc32(0, index.data() + 8, static_cast<uInt>(index.size() - 8))));
}

TEST(SimpleCacheTest, ServedBodiesByteForByteAndVisitsInOrder)
{
    const std::string folder = RealCache("simple");
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

// Chromium wrote its index when it closed the cache: in memory, where files
// have no times, the index alone puts the visits in order.
TEST(SimpleCacheTest, LastUsesFromTheIndex)
{
    const std::string disk = RealCache("simple");
    ASSERT_FALSE(disk.empty());
    DamagedFiles files = CopyToMemory(disk, kFolder);
    ASSERT_EQ(files.files.count(kIndex), 1u) << "chromium wrote no index";
    const std::unique_ptr<pictures::CacheReader> reader = Open(files, kFolder);
    ASSERT_NE(reader, nullptr);
    ExpectVisitsInOrder(reader->List());
}

// Folders that are not a Simple cache, or whose entry files do not start as
// such files start, give no reader.
TEST(SimpleCacheTest, OtherFoldersAreNotSimpleCaches)
{
    const std::string disk = RealCache("simple");
    ASSERT_FALSE(disk.empty());
    const DamagedFiles cache = CopyToMemory(disk, kFolder);
    const struct {
        const char* what;
        void (*apply)(DamagedFiles& files);
    } cases[] = {
        {"no files", [](DamagedFiles& files) { files.files.clear(); }},
        {"only the index", [](DamagedFiles& files) { files.files = {{kIndex, files.files[kIndex]}}; }},
        {"upper-case entry names",
         [](DamagedFiles& files) {
             std::map<std::string, Bytes> renamed;
             for (auto& [path, bytes] : files.files) {
                 std::string name = pictures::NameOf(path);
                 std::transform(name.begin(), name.end(), name.begin(), [](char c) { return std::toupper(c); });
                 renamed[kFolder + "\\" + name] = bytes;
             }
             files.files = renamed;
         }},
        {"entry files without their magic",
         [](DamagedFiles& files) {
             for (auto& [path, bytes] : files.files)
                 bytes[0] ^= 0xFF;
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

// Damage done to new.jpg's entry file or to the index, as a browser that
// crashed, a disk that filled up or a reader that came too early leaves it:
// what does not hold together is passed over, everything else comes out as
// before, and nothing is read outside a file.
TEST(SimpleCacheTest, DamagePassesOverWhatItMust)
{
    const struct {
        const char* what;
        void (*apply)(DamagedFiles& files, const std::string& entry);
        bool listed;      // whether new.jpg's entry still comes out
        bool indexTimes;  // whether last uses still come from the index
    } cases[] = {
        {"untouched", [](DamagedFiles&, const std::string&) {}, true, true},
        // Cut short while chromium wrote it.
        {"cut short by a byte", [](DamagedFiles& f, const std::string& e) { f.files[e].pop_back(); }, false, true},
        {"cut in its body", [](DamagedFiles& f, const std::string& e) { f.files[e].resize(f.files[e].size() / 2); },
         false, true},
        {"emptied", [](DamagedFiles& f, const std::string& e) { f.files[e].clear(); }, false, true},
        // The header.
        {"a bad magic", [](DamagedFiles& f, const std::string& e) { f.files[e][0] ^= 0xFF; }, false, true},
        {"a version not known", [](DamagedFiles& f, const std::string& e) { PutLittle32(f.files[e], 8, 6); }, false,
         true},
        {"a key length past the file",
         [](DamagedFiles& f, const std::string& e) { PutLittle32(f.files[e], 12, 0xFFFFFF00); }, false, true},
        // A key a byte longer would take the body's first byte: its hash tells.
        {"a key length one more",
         [](DamagedFiles& f, const std::string& e) { PutLittle32(f.files[e], 12, Little32(f.files[e], 12) + 1); },
         false, true},
        {"a byte of the key changed", [](DamagedFiles& f, const std::string& e) { f.files[e][30] ^= 0x01; }, false,
         true},
        // The end records.
        {"a bad magic in stream 0's end record",
         [](DamagedFiles& f, const std::string& e) { f.files[e][f.files[e].size() - 24] ^= 0xFF; }, false, true},
        {"stream 0's length past the file",
         [](DamagedFiles& f, const std::string& e) { PutLittle32(f.files[e], f.files[e].size() - 8, 0xFFFFFFF0); },
         false, true},
        // Stream 1's end record would then lie a byte early: its magic tells.
        {"stream 0's length one more",
         [](DamagedFiles& f, const std::string& e) {
             PutLittle32(f.files[e], f.files[e].size() - 8, Little32(f.files[e], f.files[e].size() - 8) + 1);
         },
         false, true},
        {"a bad magic in stream 1's end record",
         [](DamagedFiles& f, const std::string& e) { f.files[e][Stream1End(f.files[e])] ^= 0xFF; }, false, true},
        // Files beside it, and files that go.
        {"renamed to todelete_, as chromium dooms an entry",
         [](DamagedFiles& f, const std::string& e) {
             f.files[kFolder + "\\todelete_" + pictures::NameOf(e) + "_1"] = f.files[e];
             f.files.erase(e);
         },
         false, true},
        {"a todelete_ copy beside it",
         [](DamagedFiles& f, const std::string& e) {
             f.files[kFolder + "\\todelete_" + pictures::NameOf(e) + "_1"] = f.files[e];
         },
         true, true},
        {"a _1 file of stream 2 beside it",
         [](DamagedFiles& f, const std::string& e) { f.files[e.substr(0, e.size() - 1) + "1"] = f.files[e]; }, true,
         true},
        {"vanished after the listing", [](DamagedFiles& f, const std::string& e) { f.vanished.insert(e); }, false,
         true},
        // The index; the entries then take the listing's times.
        {"no index", [](DamagedFiles& f, const std::string&) { f.files.erase(kIndex); }, true, false},
        {"the index cut short", [](DamagedFiles& f, const std::string&) { f.files[kIndex].pop_back(); }, true, false},
        {"a byte of the index changed", [](DamagedFiles& f, const std::string&) { f.files[kIndex][60] ^= 0x01; }, true,
         false},
        {"an entry count past the index",
         [](DamagedFiles& f, const std::string&) {
             PutLittle32(f.files[kIndex], 20, 1000);
             Reseal(f.files[kIndex]);
         },
         true, false},
        {"an index magic not known",
         [](DamagedFiles& f, const std::string&) {
             f.files[kIndex][8] ^= 0xFF;
             Reseal(f.files[kIndex]);
         },
         true, false},
        {"an index version not known",
         [](DamagedFiles& f, const std::string&) {
             PutLittle32(f.files[kIndex], 16, 10);
             Reseal(f.files[kIndex]);
         },
         true, false},
        {"the index vanished after the listing", [](DamagedFiles& f, const std::string&) { f.vanished.insert(kIndex); },
         true, false},
    };

    const std::string disk = RealCache("simple");
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
            const auto found = std::find_if(after.begin(), after.end(), [&](const CacheEntry& other) {
                return other.file == entry.file && other.key == entry.key && other.offset == entry.offset &&
                       other.length == entry.length;
            });
            const bool listed = entry.file != photo[0].file || c.listed;
            EXPECT_EQ(found != after.end(), listed) << entry.key;
            if (found != after.end()) {
                EXPECT_EQ(found->used != 0, c.indexTimes) << entry.key;
            }
        }
    }
}

}  // namespace

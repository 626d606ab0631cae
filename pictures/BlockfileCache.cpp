#include "pictures/BlockfileCache.h"

#include "pictures/Numbers.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <new>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace pictures {

namespace {

// Every number in the cache's files is little-endian.
std::int32_t I32(const unsigned char* p) { return static_cast<std::int32_t>(Little32(p)); }
std::int32_t I16(const unsigned char* p) { return static_cast<std::int16_t>(Little16(p)); }

// The index: a header of 368 bytes, then a hash table of `table_len`
// addresses, each that of the first entry of its bucket.
constexpr std::uint32_t kIndexMagic = 0xC103CAC3;
constexpr std::size_t kIndexHeaderSize = 368;
constexpr std::size_t kVersionAt = 4, kThisIdAt = 20, kTableLengthAt = 28;
constexpr std::uint32_t kMaxTableLength = 0x100000;  // the largest table Chromium makes (4 MB)
constexpr std::size_t kTableChunk = 0x4000;          // addresses read at once

// Versions 2.0 and 2.1 differ from 3.0 only where this reader does not look.
bool IsIndexVersion(std::uint32_t version) { return version == 0x20000 || version == 0x20001 || version == 0x30000; }

// A block file data_N: a header of 8 KB, then blocks of one size.
constexpr std::uint32_t kBlockMagic = 0xC104CAC3;
constexpr std::uint32_t kBlockVersion = 0x20000;
constexpr std::uint64_t kBlockHeaderSize = 8192;
constexpr std::size_t kThisFileAt = 8, kBlockSizeAt = 12, kMaxEntriesAt = 20, kBlockHeaderRead = 24;
constexpr std::uint32_t kMaxBlocks = (8192 - 80) * 8;  // as many as the header's map of used blocks tracks
constexpr unsigned kBlockFiles = 256;
constexpr std::size_t kWindow = 0x10000;  // bytes of a block file read at once

// An address: bit 31 says it is set, bits 28-30 give the kind of file. For a
// body in a file of its own (kind 0), bits 0-27 number the file f_XXXXXX; for
// blocks, bits 26-27 are zero, 24-25 count the blocks less one, 16-23 number
// the file data_N and 0-15 give the first block.
enum Kind : unsigned { kExternal = 0, kRankings = 1, kBlock256 = 2 };
constexpr std::uint32_t kSet = 0x80000000;
constexpr std::uint32_t kReserved = 0x0C000000;
constexpr std::uint32_t kFileNumber = 0x0FFFFFFF;
constexpr std::uint32_t kPlace = 0x00FFFFFF;  // the file and the first block

bool IsSet(std::uint32_t address) { return (address & kSet) != 0; }
unsigned KindOf(std::uint32_t address) { return address >> 28 & 7; }
unsigned FileOf(std::uint32_t address) { return address >> 16 & 0xFF; }
std::uint32_t FirstBlock(std::uint32_t address) { return address & 0xFFFF; }
std::uint32_t BlockCount(std::uint32_t address) { return (address >> 24 & 3) + 1; }
// The block size of each kind from 1; kinds 5 to 7 hold nothing that a body
// needs.
constexpr std::uint32_t kBlockSizes[] = {36, 256, 1024, 4096};
std::uint32_t BlockSize(unsigned kind) { return kind >= 1 && kind <= 4 ? kBlockSizes[kind - 1] : 0; }
bool IsExternal(std::uint32_t address) { return IsSet(address) && KindOf(address) == kExternal; }
bool InBlocks(std::uint32_t address)
{
    return IsSet(address) && BlockSize(KindOf(address)) != 0 && (address & kReserved) == 0;
}
std::string ExternalName(std::uint32_t address)
{
    char name[16];
    std::snprintf(name, sizeof name, "f_%06x", static_cast<unsigned>(address & kFileNumber));
    return name;
}
// Records in the order of their places: by file, then by block.
bool ByPlace(std::uint32_t a, std::uint32_t b) { return std::make_pair(a & kPlace, a) < std::make_pair(b & kPlace, b); }

// An entry: 256 bytes, or up to four blocks where its key needs them.
constexpr std::size_t kNextAt = 4, kRankingsAt = 8, kStateAt = 20, kKeyLengthAt = 32, kLongKeyAt = 36;
constexpr std::size_t kDataSizeAt = 40, kDataAddressAt = 56, kFlagsAt = 72, kKeyAt = 96;
constexpr std::size_t kBodyStream = 1;  // the HTTP body; 0 holds the headers
constexpr std::int32_t kNormal = 0;     // neither evicted nor doomed
constexpr std::uint32_t kSparse = 3;    // a parent of sparse children, or such a child
constexpr std::int32_t kMaxInlineKey = 4 * 256 - 96 - 1;
constexpr std::int32_t kMaxBlockBody = 4 * 4096;  // a longer body has a file of its own
constexpr std::int32_t kMaxKey = 4 << 20;         // longer than any URL Chromium keeps
constexpr std::size_t kMaxSteps = 1 << 20;        // entries visited in one walk at most

// A rankings node: 36 bytes.
constexpr std::size_t kLastUsedAt = 0, kContentsAt = 24, kDirtyAt = 28;

// The files of one walk: the f_ files' sizes, from one listing of the folder
// (the one given, else a new one), and the block files, each opened when first needed and read through a window
// of consecutive bytes, so that records taken in the order of their places
// cost one read a window, not one a record.
class WalkFiles {
public:
    WalkFiles(Files& files, const std::string& folder, std::vector<FolderEntry> listing)
        : files_(files), folder_(folder)
    {
        if (listing.empty())
            listing = files_.List(folder_);
        for (const FolderEntry& entry : listing) {
            const std::string name = NameOf(entry.path);
            if (!entry.folder && name.compare(0, 2, "f_") == 0)
                external_.emplace(name, entry.size);
        }
    }

    // The length of the file f_XXXXXX that an address names; nothing where the
    // folder has no such file.
    std::optional<std::uint64_t> ExternalSize(std::uint32_t address) const
    {
        const auto file = external_.find(ExternalName(address));
        return file == external_.end() ? std::nullopt : std::optional<std::uint64_t>(file->second);
    }

    // The file that holds an address's blocks.
    std::string PathOf(std::uint32_t address) const { return DataPath(FileOf(address)); }

    // Where an address's blocks lie: false unless its file's header says the
    // file holds blocks of its kind and as many as it counts, and the file
    // holds them.
    bool Place(std::uint32_t address, std::uint64_t& offset, std::uint64_t& length)
    {
        const File* file = InBlocks(address) ? Open(FileOf(address)) : nullptr;
        const std::uint32_t size = BlockSize(KindOf(address));
        if (file == nullptr || file->blockSize != size || FirstBlock(address) + BlockCount(address) > file->blocks)
            return false;
        offset = kBlockHeaderSize + std::uint64_t{FirstBlock(address)} * size;
        length = std::uint64_t{BlockCount(address)} * size;
        return offset + length <= file->size;
    }

    // A copy of an address's blocks, as long as they are (so that nothing
    // past them can be read by mistake); empty where they have no place or
    // cannot be read.
    Bytes Read(std::uint32_t address)
    {
        std::uint64_t offset = 0, length = 0;
        if (!Place(address, offset, length))
            return {};
        File& file = open_[FileOf(address)];
        if (offset < file.windowAt || offset + length > file.windowAt + file.window.size()) {
            file.windowAt = offset;
            file.window.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kWindow, file.size - offset)));
            if (!file.file->ReadAt(offset, file.window.data(), file.window.size())) {
                file.window.clear();
                return {};
            }
        }
        const auto start = file.window.begin() + static_cast<std::ptrdiff_t>(offset - file.windowAt);
        return Bytes(start, start + static_cast<std::ptrdiff_t>(length));
    }

private:
    struct File {
        bool tried = false;
        std::unique_ptr<ReadFile> file;  // null where missing or not a block file
        std::uint64_t size = 0;
        std::uint32_t blockSize = 0;
        std::uint32_t blocks = 0;
        std::vector<unsigned char> window;
        std::uint64_t windowAt = 0;
    };

    std::string DataPath(unsigned number) const { return folder_ + "\\data_" + std::to_string(number); }

    // The file data_N, once its header holds together: blocks of a size that
    // addresses name, counted within what the header's map tracks.
    File* Open(unsigned number)
    {
        File& file = open_[number];
        if (!file.tried) {
            file.tried = true;
            file.file = files_.Open(DataPath(number));
            unsigned char header[kBlockHeaderRead];
            if (file.file) {
                file.size = file.file->Size();
                const bool valid = file.size >= kBlockHeaderSize && file.file->ReadAt(0, header, sizeof header) &&
                                   Little32(header) == kBlockMagic && Little32(header + 4) == kBlockVersion &&
                                   I16(header + kThisFileAt) == static_cast<std::int32_t>(number);
                file.blockSize = valid ? Little32(header + kBlockSizeAt) : 0;
                file.blocks = valid ? Little32(header + kMaxEntriesAt) : 0;
                if (std::find(std::begin(kBlockSizes), std::end(kBlockSizes), file.blockSize) ==
                        std::end(kBlockSizes) ||
                    file.blocks > kMaxBlocks)
                    file.file.reset();
            }
        }
        return file.file ? &file : nullptr;
    }

    Files& files_;
    const std::string& folder_;
    std::unordered_map<std::string, std::uint64_t> external_;
    std::array<File, kBlockFiles> open_;
};

// An entry whose record holds together, before its rankings node is read.
struct Found {
    std::uint32_t entry = 0;     // its address
    std::uint32_t rankings = 0;  // its rankings node's
    std::uint32_t longKey = 0;   // where its key lies, where the record does not hold it
    std::int32_t keyLength = 0;
    CacheEntry cacheEntry;
};

class BlockfileReader : public CacheReader {
public:
    BlockfileReader(std::string folder, std::vector<FolderEntry> listing, Files& files)
        : folder_(std::move(folder)), listing_(std::move(listing)), files_(files)
    {
    }

    std::vector<CacheEntry> List() override
    {
        std::vector<CacheEntry> entries;
        try {
            Walk(entries);
        } catch (const std::bad_alloc&) {
            entries.clear();
        }
        return entries;
    }

    bool Read(const CacheEntry& entry, std::size_t limit, Bytes& bytes) override
    {
        return ReadRange(files_, entry.file, entry.offset, entry.length, limit, bytes);
    }

private:
    // Every bucket's chain from the index, then each entry's rankings node.
    void Walk(std::vector<CacheEntry>& entries)
    {
        std::vector<FolderEntry> listing = std::exchange(listing_, {});
        std::int32_t thisId = 0;
        std::vector<std::uint32_t> wave = ReadTable(thisId);
        if (wave.empty())
            return;
        WalkFiles blocks(files_, folder_, std::move(listing));
        std::vector<Found> found;
        // The chains a step at a time, all chains at once, each step's records
        // read in the order of their places; an entry seen before ends its chain.
        std::unordered_set<std::uint32_t> seen;
        std::size_t steps = 0;
        while (!wave.empty() && steps < kMaxSteps) {
            std::sort(wave.begin(), wave.end(), ByPlace);
            std::vector<std::uint32_t> next;
            for (const std::uint32_t address : wave) {
                if (++steps > kMaxSteps)
                    break;
                const Bytes record = KindOf(address) == kBlock256 ? blocks.Read(address) : Bytes();
                if (record.empty() || !seen.insert(address).second)
                    continue;
                if (IsSet(Little32(record.data() + kNextAt)))
                    next.push_back(Little32(record.data() + kNextAt));
                if (std::optional<Found> entry = Examine(address, record, blocks))
                    found.push_back(std::move(*entry));
            }
            wave.swap(next);
        }
        std::sort(found.begin(), found.end(),
                  [](const Found& a, const Found& b) { return ByPlace(a.rankings, b.rankings); });
        for (Found& entry : found) {
            // The node must name the entry, and no earlier run of the browser
            // may have left it half-written.
            const Bytes node = blocks.Read(entry.rankings);
            if (node.empty() || Little32(node.data() + kContentsAt) != entry.entry)
                continue;
            const std::int32_t dirty = I32(node.data() + kDirtyAt);
            entry.cacheEntry.used = static_cast<Time>(Little64(node.data() + kLastUsedAt));
            if ((dirty != 0 && dirty != thisId) ||
                (entry.longKey != 0 && !ReadLongKey(entry.longKey, entry.keyLength, blocks, entry.cacheEntry.key)))
                continue;
            entries.push_back(std::move(entry.cacheEntry));
        }
    }

    // The set addresses of the index's table, as many as the file holds; none
    // unless its header holds together, and none where a read fails. Also
    // the id that the browser's current run gives the entries it changes.
    std::vector<std::uint32_t> ReadTable(std::int32_t& thisId)
    {
        std::vector<std::uint32_t> heads;
        const std::unique_ptr<ReadFile> index = files_.Open(folder_ + "\\index");
        unsigned char header[kIndexHeaderSize];
        if (!index || !index->ReadAt(0, header, sizeof header) || Little32(header) != kIndexMagic ||
            !IsIndexVersion(Little32(header + kVersionAt)))
            return heads;
        const std::uint32_t tableLength = Little32(header + kTableLengthAt);
        if (tableLength == 0 || tableLength > kMaxTableLength)
            return heads;
        thisId = I32(header + kThisIdAt);
        const std::uint64_t size = index->Size();
        const std::uint64_t count =
            std::min<std::uint64_t>(tableLength, size < kIndexHeaderSize ? 0 : (size - kIndexHeaderSize) / 4);
        std::vector<unsigned char> chunk;
        for (std::uint64_t at = 0; at < count; at += kTableChunk) {
            chunk.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kTableChunk, count - at)) * 4);
            if (!index->ReadAt(kIndexHeaderSize + at * 4, chunk.data(), chunk.size()))
                return {};
            for (std::size_t i = 0; i < chunk.size(); i += 4)
                if (IsSet(Little32(chunk.data() + i)))
                    heads.push_back(Little32(chunk.data() + i));
        }
        return heads;
    }

    // An entry's record: its key where the record holds it, its rankings
    // node's address and where its body lies; nothing unless it is in the
    // normal state, not sparse, has a body and holds together.
    std::optional<Found> Examine(std::uint32_t address, const Bytes& bytes, WalkFiles& blocks) const
    {
        const unsigned char* record = bytes.data();
        Found entry;
        entry.entry = address;
        entry.rankings = Little32(record + kRankingsAt);
        entry.keyLength = I32(record + kKeyLengthAt);
        const std::uint32_t longKey = Little32(record + kLongKeyAt);
        const std::int32_t bodySize = I32(record + kDataSizeAt + 4 * kBodyStream);
        const std::uint32_t body = Little32(record + kDataAddressAt + 4 * kBodyStream);
        if (I32(record + kStateAt) != kNormal || (Little32(record + kFlagsAt) & kSparse) != 0 || bodySize <= 0 ||
            entry.keyLength <= 0 || entry.keyLength > kMaxKey || !InBlocks(entry.rankings) ||
            KindOf(entry.rankings) != kRankings || BlockCount(entry.rankings) != 1)
            return {};
        const auto keyLength = static_cast<std::size_t>(entry.keyLength);
        if (entry.keyLength <= kMaxInlineKey) {
            // Within the record, and ended by a NUL.
            if (IsSet(longKey) || kKeyAt + keyLength >= bytes.size() || record[kKeyAt + keyLength] != 0)
                return {};
            entry.cacheEntry.key.assign(reinterpret_cast<const char*>(record + kKeyAt), keyLength);
        } else if (IsExternal(longKey) || (InBlocks(longKey) && KindOf(longKey) != kRankings)) {
            entry.longKey = longKey;  // read once the entry's node holds together
        } else {
            return {};
        }
        // Over 16 KB, the body is the start of a file of its own; else it lies
        // in blocks of a data file.
        CacheEntry& place = entry.cacheEntry;
        place.length = static_cast<std::uint64_t>(bodySize);
        if (IsExternal(body)) {
            const std::optional<std::uint64_t> size = blocks.ExternalSize(body);
            if (bodySize <= kMaxBlockBody || !size || *size < place.length)
                return {};
            place.file = folder_ + "\\" + ExternalName(body);
            place.offset = 0;
        } else {
            std::uint64_t room = 0;
            if (bodySize > kMaxBlockBody || KindOf(body) == kRankings || !blocks.Place(body, place.offset, room) ||
                room < place.length)
                return {};
            place.file = blocks.PathOf(body);
        }
        return entry;
    }

    // A key too long for its entry's record: `length` bytes in blocks of a
    // data file or at the start of a file of its own.
    bool ReadLongKey(std::uint32_t address, std::int32_t length, WalkFiles& blocks, std::string& key) const
    {
        const auto size = static_cast<std::size_t>(length);
        if (IsExternal(address)) {
            const std::optional<std::uint64_t> fileSize = blocks.ExternalSize(address);
            if (!fileSize || *fileSize < size)
                return false;
            const std::unique_ptr<ReadFile> opened = files_.Open(folder_ + "\\" + ExternalName(address));
            key.resize(size);
            return opened && opened->ReadAt(0, key.data(), size);
        }
        const Bytes bytes = blocks.Read(address);
        if (bytes.size() < size)
            return false;
        key.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        return true;
    }

    const std::string folder_;
    std::vector<FolderEntry> listing_;  // the folder as it was opened, for the first walk; later ones list it anew
    Files& files_;
};

}  // namespace

std::unique_ptr<CacheReader> OpenBlockfileCache(const std::string& folder, const std::vector<FolderEntry>& listing,
                                                Files& files)
{
    const auto index = std::find_if(listing.begin(), listing.end(), [](const FolderEntry& entry) {
        return !entry.folder && NameOf(entry.path) == "index";
    });
    if (index == listing.end() || index->size < kIndexHeaderSize)
        return nullptr;
    const std::unique_ptr<ReadFile> file = files.Open(index->path);
    unsigned char magic[4];
    if (!file || !file->ReadAt(0, magic, sizeof magic) || Little32(magic) != kIndexMagic)
        return nullptr;
    return std::make_unique<BlockfileReader>(folder, listing, files);
}

}  // namespace pictures

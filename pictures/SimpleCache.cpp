#include "pictures/SimpleCache.h"

#include "pictures/Numbers.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

namespace pictures {

namespace {

// An entry file "<hash>_0": a header (magic, version, key length, key hash,
// padding), the key, stream 1 (the body), its end record, stream 0 (the HTTP
// headers), the key's SHA-256 where stream 0's end record flags it, and stream
// 0's end record (magic, flags, CRC, stream 0's length, padding). Numbers are
// little-endian. Only stream 0's end record tells a length: stream 1 is what
// is left between the key and its own end record.
constexpr unsigned char kEntryMagic[] = {0x30, 0x5C, 0x72, 0xA7, 0x1B, 0x6D, 0xFB, 0xFC};
constexpr std::uint64_t kEndMagic = 0xF4FA6F45970D41D8;
constexpr std::uint32_t kEntryVersion = 5;
constexpr std::uint64_t kHeaderSize = 24;
constexpr std::uint64_t kEndSize = 24;
constexpr std::uint64_t kKeyShaSize = 32;
constexpr std::uint32_t kHasKeySha = 1u << 1;
constexpr std::uint64_t kMaxKey = 64 * 1024;  // a longer key passes its entry over

// Files up to this length are read whole, longer ones by their head and tail:
// between them they hold the header, the key and both end records.
constexpr std::uint64_t kHeadBytes = 2048, kTailBytes = 4096;

// The index "index-dir\the-real-index": a pickle header (the payload's length
// and CRC-32), then the magic, version, entry count, cache size and, from
// version 7, why it was written; then per entry its hash, last use
// (microseconds since 1601, 0 where unknown) and size; then when the cache
// last changed.
constexpr std::uint64_t kIndexMagic = 0x656E74657220796F;
constexpr std::uint32_t kOldestIndex = 6, kNewestIndex = 9;
constexpr std::uint64_t kIndexRecord = 24;
constexpr std::uint64_t kMinIndexSize = 8 + 28 + 8;            // no entries, no reason
constexpr std::uint64_t kMaxIndexEntries = 1000000;           // as many as Chromium reads
constexpr std::uint64_t kMaxIndexSize = 8 + 32 + 8 + kMaxIndexEntries * kIndexRecord;

// Paul Hsieh's SuperFastHash, which the header keeps of the key: a byte left
// over after the last pair counts as a signed char, as in Chromium.
std::uint32_t KeyHash(const std::string& key)
{
    const auto* data = reinterpret_cast<const unsigned char*>(key.data());
    const auto pair = [&](std::size_t at) { return std::uint32_t{data[at]} | std::uint32_t{data[at + 1]} << 8; };
    const auto signedByte = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<signed char>(data[at])));
    };
    if (key.empty())
        return 0;
    std::uint32_t hash = static_cast<std::uint32_t>(key.size());
    std::size_t at = 0;
    for (; key.size() - at >= 4; at += 4) {
        hash += pair(at);
        hash = (hash << 16) ^ (pair(at + 2) << 11) ^ hash;
        hash += hash >> 11;
    }
    switch (key.size() - at) {
    case 3:
        hash += pair(at);
        hash ^= hash << 16;
        hash ^= signedByte(at + 2) << 18;
        hash += hash >> 11;
        break;
    case 2:
        hash += pair(at);
        hash ^= hash << 11;
        hash += hash >> 17;
        break;
    case 1:
        hash += signedByte(at);
        hash ^= hash << 10;
        hash += hash >> 1;
        break;
    }
    hash ^= hash << 3;
    hash += hash >> 5;
    hash ^= hash << 4;
    hash += hash >> 17;
    hash ^= hash << 25;
    hash += hash >> 6;
    return hash;
}

// The entry hash that names a file of streams 0 and 1 ("0123456789abcdef_0"),
// if the name is one; sparse files, stream 2's "_1" files and the "todelete_"
// files of entries being removed are not.
std::optional<std::uint64_t> EntryHash(const std::string& name)
{
    if (name.size() != 18 || name.compare(16, 2, "_0") != 0)
        return {};
    std::uint64_t hash = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        const char c = name[i];
        if (c >= '0' && c <= '9')
            hash = hash << 4 | static_cast<std::uint64_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            hash = hash << 4 | static_cast<std::uint64_t>(c - 'a' + 10);
        else
            return {};
    }
    return hash;
}

// Each entry hash's last use, sorted by hash; none where the index is missing
// or does not hold together (its CRC, magic, version and count are checked).
using LastUses = std::vector<std::pair<std::uint64_t, Time>>;

LastUses ReadIndex(Files& files, const std::string& folder)
{
    LastUses uses;
    const std::unique_ptr<ReadFile> file = files.Open(folder + "\\index-dir\\the-real-index");
    if (!file)
        return uses;
    const std::uint64_t size = file->Size();
    if (size < kMinIndexSize || size > kMaxIndexSize)
        return uses;
    Bytes data(static_cast<std::size_t>(size));
    if (!file->ReadAt(0, data.data(), data.size()))
        return uses;
    const unsigned char* p = data.data();
    if (Little32(p) != size - 8 || Little32(p + 4) != Crc32(p + 8, data.size() - 8) || Little64(p + 8) != kIndexMagic)
        return uses;
    const std::uint32_t version = Little32(p + 16);
    if (version < kOldestIndex || version > kNewestIndex)
        return uses;
    const std::uint64_t count = Little64(p + 20);
    const std::uint64_t first = version >= 7 ? 40 : 36;
    if (size < first + 8 || count > (size - first - 8) / kIndexRecord)
        return uses;
    uses.reserve(static_cast<std::size_t>(count));
    for (std::uint64_t i = 0; i < count; ++i) {
        const unsigned char* record = p + first + i * kIndexRecord;
        uses.emplace_back(Little64(record), static_cast<Time>(Little64(record + 8)));
    }
    std::sort(uses.begin(), uses.end());
    return uses;
}

Time LastUse(const LastUses& uses, std::uint64_t hash)
{
    const auto it = std::lower_bound(uses.begin(), uses.end(), std::make_pair(hash, Time{0}));
    return it != uses.end() && it->first == hash ? it->second : 0;
}

// A file's bytes as they are read: up to two ranges kept in memory, anything
// else read where it is asked for.
class Reads {
public:
    explicit Reads(ReadFile& file) : file_(file) {}

    bool Keep(std::uint64_t at, std::uint64_t size)
    {
        if (count_ == kRanges)
            return false;
        Range& range = kept_[count_++];
        range.at = at;
        range.bytes.resize(static_cast<std::size_t>(size));
        return file_.ReadAt(at, range.bytes.data(), range.bytes.size());
    }

    bool Get(std::uint64_t offset, void* out, std::size_t size)
    {
        for (int i = 0; i < count_; ++i) {
            const Range& range = kept_[i];
            if (offset >= range.at && offset - range.at <= range.bytes.size() &&
                size <= range.bytes.size() - (offset - range.at)) {
                std::memcpy(out, range.bytes.data() + (offset - range.at), size);
                return true;
            }
        }
        return file_.ReadAt(offset, out, size);
    }

private:
    struct Range {
        std::uint64_t at = 0;
        Bytes bytes;
    };
    static constexpr int kRanges = 2;
    ReadFile& file_;
    Range kept_[kRanges];
    int count_ = 0;
};

struct Body {
    std::string key;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

// The key and body of an entry file, where its header, its end records and
// the lengths they tell all hold together inside the file, and the key is the
// one whose hash the header keeps.
std::optional<Body> ParseEntry(ReadFile& file)
{
    const std::uint64_t size = file.Size();
    if (size < kHeaderSize + 2 * kEndSize)
        return {};
    Reads reads(file);
    if (size <= kHeadBytes + kTailBytes ? !reads.Keep(0, size)
                                        : !reads.Keep(0, kHeadBytes) || !reads.Keep(size - kTailBytes, kTailBytes))
        return {};

    unsigned char header[kHeaderSize], end0[kEndSize], end1[kEndSize];
    if (!reads.Get(0, header, sizeof header) || std::memcmp(header, kEntryMagic, sizeof kEntryMagic) != 0 ||
        Little32(header + 8) != kEntryVersion)
        return {};
    if (!reads.Get(size - kEndSize, end0, sizeof end0) || Little64(end0) != kEndMagic)
        return {};
    // Each term is below 2^32, so the sums cannot overflow; an empty body is
    // no body.
    const std::uint64_t keyLength = Little32(header + 12);
    const std::uint64_t stream0 = Little32(end0 + 16);
    const std::uint64_t fixed = kHeaderSize + 2 * kEndSize + ((Little32(end0 + 8) & kHasKeySha) != 0 ? kKeyShaSize : 0);
    if (keyLength > kMaxKey || fixed + keyLength + stream0 >= size)
        return {};
    Body body;
    body.offset = kHeaderSize + keyLength;
    body.length = size - fixed - keyLength - stream0;
    if (!reads.Get(body.offset + body.length, end1, sizeof end1) || Little64(end1) != kEndMagic)
        return {};
    body.key.resize(static_cast<std::size_t>(keyLength));
    if (keyLength > 0 && !reads.Get(kHeaderSize, &body.key[0], body.key.size()))
        return {};
    if (KeyHash(body.key) != Little32(header + 16))
        return {};
    return body;
}

bool StartsAsEntry(Files& files, const std::string& path)
{
    unsigned char magic[sizeof kEntryMagic];
    const std::unique_ptr<ReadFile> file = files.Open(path);
    return file && file->ReadAt(0, magic, sizeof magic) && std::memcmp(magic, kEntryMagic, sizeof magic) == 0;
}

class SimpleCacheReader : public EntryFilesReader {
public:
    using EntryFilesReader::EntryFilesReader;

private:
    void StartList() override { uses_ = ReadIndex(files_, folder_); }

    std::optional<CacheEntry> ReadEntry(const FolderEntry& item) override
    {
        const std::optional<std::uint64_t> hash = EntryHash(NameOf(item.path));
        const std::unique_ptr<ReadFile> file = hash ? files_.Open(item.path) : nullptr;
        std::optional<Body> body = file ? ParseEntry(*file) : std::nullopt;
        if (!body)
            return std::nullopt;
        const Time used = LastUse(uses_, *hash);
        return CacheEntry{std::move(body->key), used != 0 ? used : item.written, item.path, body->offset,
                          body->length};
    }

    LastUses uses_;
};

}  // namespace

std::unique_ptr<CacheReader> OpenSimpleCache(const std::string& folder, const std::vector<FolderEntry>& listing,
                                             Files& files)
{
    try {
        const auto named = [](const std::string& name) { return EntryHash(name).has_value(); };
        if (HasEntryFile(listing, named, [&](const std::string& path) { return StartsAsEntry(files, path); }))
            return std::make_unique<SimpleCacheReader>(folder, listing, files);
    } catch (...) {
    }
    return nullptr;
}

}  // namespace pictures

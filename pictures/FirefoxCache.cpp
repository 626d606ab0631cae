#include "pictures/FirefoxCache.h"

#include "pictures/Numbers.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace pictures {

namespace {

// An entry file: the body, then the metadata: a hash of the rest of the
// metadata, a 2-byte hash per 256 KiB chunk of the body, a header (version,
// fetch count, last fetched, last modified, frecency, expiration, key size
// and, from version 2 on, flags), the key and its NUL, and the elements (name
// and value pairs, each ended by a NUL). Numbers are big-endian. Up to version
// 3 the file ends with the body's length, which is where the metadata starts;
// from version 4 on with the version and then that length, whose top bit
// marks an encrypted entry: its body and metadata are AES-GCM blocks that only
// Firefox, with the profile's key, can read.
constexpr std::uint64_t kChunkSize = 256 * 1024;
constexpr std::uint32_t kOldestEntry = 1, kNewestEntry = 4;
constexpr std::uint32_t kTrailerVersion = 4;  // the versions that end with a trailer of two words
constexpr std::uint32_t kEncrypted = 0x80000000u;
constexpr std::uint32_t kPinned = 1u << 0;  // the only flag known; any other may change what the bytes mean
constexpr std::uint64_t kMaxKey = 64 * 1024;
constexpr std::uint64_t kMaxElements = 64 * 1024;  // as much as Firefox keeps
// The tail read at once: it holds the metadata of nearly every entry.
constexpr std::uint64_t kTailBytes = 4096;

void Mix(std::uint32_t& a, std::uint32_t& b, std::uint32_t& c)
{
    a -= b, a -= c, a ^= c >> 13;
    b -= c, b -= a, b ^= a << 8;
    c -= a, c -= b, c ^= b >> 13;
    a -= b, a -= c, a ^= c >> 12;
    b -= c, b -= a, b ^= a << 16;
    c -= a, c -= b, c ^= b >> 5;
    a -= b, a -= c, a ^= c >> 3;
    b -= c, b -= a, b ^= a << 10;
    c -= a, c -= b, c ^= b >> 15;
}

// Bob Jenkins' lookup2 hash with initial value 0, which Firefox keeps of its
// metadata: 12 bytes at a time, then the rest with the length in c's low byte.
std::uint32_t MetadataHash(const unsigned char* data, std::size_t size)
{
    std::uint32_t a = 0x9E3779B9u, b = a, c = 0;
    std::size_t at = 0;
    for (; size - at >= 12; at += 12) {
        a += Little32(data + at), b += Little32(data + at + 4), c += Little32(data + at + 8);
        Mix(a, b, c);
    }
    unsigned char rest[12] = {};
    std::memcpy(rest, data + at, size - at);
    c += static_cast<std::uint32_t>(size);
    a += Little32(rest), b += Little32(rest + 4), c += Little32(rest + 8) << 8;
    Mix(a, b, c);
    return c;
}

// The offset of an "alt-data" element's value ("1;<offset>,<type>"): where
// alternative data that Firefox keeps after the body (a script's compiled
// form) starts, which is where the body ends; false where the value is not of
// that form or the offset lies past `bodyEnd`.
bool AltDataOffset(const char* value, std::uint64_t bodyEnd, std::uint64_t& offset)
{
    if (value[0] != '1' || value[1] != ';' || value[2] < '0' || value[2] > '9')
        return false;
    offset = 0;
    const char* p = value + 2;
    for (; *p >= '0' && *p <= '9'; ++p) {
        offset = offset * 10 + static_cast<std::uint64_t>(*p - '0');
        if (offset > bodyEnd)
            return false;
    }
    return *p == ',';
}

// Where the body ends, as the elements tell it (`length` on entry: where the
// metadata starts); false where the elements do not pair up, or name
// alternative data that does not fit: Firefox empties such an entry.
bool BodyLength(const unsigned char* elements, std::size_t size, std::uint64_t& length)
{
    const char* text = reinterpret_cast<const char*>(elements);
    bool altData = false;  // the first such element counts, as in Firefox
    std::size_t at = 0;
    while (at < size) {
        const void* nameEnd = std::memchr(text + at, 0, size - at);
        if (nameEnd == nullptr)
            return false;
        const std::size_t valueAt = static_cast<std::size_t>(static_cast<const char*>(nameEnd) - text) + 1;
        const void* valueEnd = valueAt < size ? std::memchr(text + valueAt, 0, size - valueAt) : nullptr;
        if (valueEnd == nullptr)
            return false;
        if (!altData && std::strcmp(text + at, "alt-data") == 0) {
            altData = true;
            if (!AltDataOffset(text + valueAt, length, length))
                return false;
        }
        at = static_cast<std::size_t>(static_cast<const char*>(valueEnd) - text) + 1;
    }
    return true;
}

struct Body {
    std::string key;
    std::uint64_t length = 0;
    std::uint32_t lastFetched = 0;  // seconds since 1970
};

// The key and body of an entry file, where its trailer, the metadata's hash,
// its header and its elements hold together inside the file and nothing marks
// the body as unreadable.
std::optional<Body> ParseEntry(ReadFile& file)
{
    const std::uint64_t size = file.Size();
    const std::uint64_t tailAt = size - std::min(size, kTailBytes);
    Bytes tail(static_cast<std::size_t>(size - tailAt));
    if (tail.size() < 8 || !file.ReadAt(tailAt, tail.data(), tail.size()))
        return {};
    // Before version 4 the word before the offset ends with the NUL of the
    // elements or the key; from version 4 on it is the version.
    const unsigned char* end = tail.data() + tail.size();
    const std::uint32_t offsetWord = Big32(end - 4);
    std::uint64_t trailer = 4;
    if (end[-5] != 0) {
        if (Big32(end - 8) != kTrailerVersion || (offsetWord & kEncrypted) != 0)
            return {};
        trailer = 8;
    }
    // The metadata holds at least its trailer, its hash, the chunks' hashes, a
    // header of version 1 and the key's NUL, and no more than Firefox writes.
    const std::uint64_t bodyEnd = offsetWord;
    const std::uint64_t hashes = 2 * ((bodyEnd + kChunkSize - 1) / kChunkSize);
    if (bodyEnd >= size || size - bodyEnd < trailer + 4 + hashes + 28 + 1 ||
        size - bodyEnd > trailer + 4 + hashes + 32 + kMaxKey + 1 + kMaxElements)
        return {};

    // The metadata whole: from the tail, and from before it where it starts earlier.
    Bytes meta(static_cast<std::size_t>(size - bodyEnd));
    const std::uint64_t before = bodyEnd < tailAt ? tailAt - bodyEnd : 0;
    std::memcpy(meta.data() + before, tail.data() + (bodyEnd + before - tailAt), meta.size() - before);
    if (before > 0 && !file.ReadAt(bodyEnd, meta.data(), static_cast<std::size_t>(before)))
        return {};

    const unsigned char* m = meta.data();
    const std::uint64_t content = meta.size() - trailer;  // the hash, the chunks' hashes, header, key, elements
    const std::uint64_t header = 4 + hashes;
    if (header + 4 > content)
        return {};
    const std::uint32_t version = Big32(m + header);
    if (version < kOldestEntry || version > kNewestEntry)
        return {};
    const std::uint64_t keyAt = header + (version == 1 ? 28 : 32);
    if (keyAt > content)
        return {};
    const std::uint64_t keySize = Big32(m + header + 24);
    if (keySize >= content - keyAt || MetadataHash(m + 4, content - 4) != Big32(m))
        return {};
    const std::uint64_t elementsAt = keyAt + keySize + 1;
    const std::uint32_t flags = version >= 2 ? Big32(m + header + 28) : 0;
    if (m[elementsAt - 1] != 0 || (flags & ~kPinned) != 0)
        return {};
    Body body;
    body.length = bodyEnd;
    if (!BodyLength(m + elementsAt, content - elementsAt, body.length) || body.length == 0)
        return {};
    body.key.assign(reinterpret_cast<const char*>(m + keyAt), keySize);
    body.lastFetched = Big32(m + header + 8);
    return body;
}

// Whether a file's name is 40 upper-case hex digits, as Firefox names its entries.
bool IsEntryName(const std::string& name)
{
    const auto hex = [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); };
    return name.size() == 40 && std::all_of(name.begin(), name.end(), hex);
}

// Whether a file's last word names an offset inside it (its top bit aside).
bool EndsAsEntry(Files& files, const std::string& path)
{
    const std::unique_ptr<ReadFile> file = files.Open(path);
    unsigned char word[4];
    const std::uint64_t size = file ? file->Size() : 0;
    return size >= 8 && file->ReadAt(size - 4, word, sizeof word) && (Big32(word) & ~kEncrypted) < size;
}

class FirefoxCacheReader : public EntryFilesReader {
public:
    using EntryFilesReader::EntryFilesReader;

private:
    std::optional<CacheEntry> ReadEntry(const FolderEntry& item) override
    {
        const std::unique_ptr<ReadFile> file = IsEntryName(NameOf(item.path)) ? files_.Open(item.path) : nullptr;
        std::optional<Body> body = file ? ParseEntry(*file) : std::nullopt;
        if (!body)
            return std::nullopt;
        const Time used = body->lastFetched != 0 ? FromUnixSeconds(body->lastFetched) : item.written;
        return CacheEntry{std::move(body->key), used, item.path, 0, body->length};
    }
};

}  // namespace

std::unique_ptr<CacheReader> OpenFirefoxCache(const std::string& folder, const std::vector<FolderEntry>& listing,
                                              Files& files)
{
    try {
        if (HasEntryFile(listing, IsEntryName, [&](const std::string& path) { return EndsAsEntry(files, path); }))
            return std::make_unique<FirefoxCacheReader>(folder, listing, files);
    } catch (...) {
    }
    return nullptr;
}

}  // namespace pictures

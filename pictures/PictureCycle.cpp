#include "pictures/PictureCycle.h"

#include "pictures/FolderCache.h"
#include "pictures/PictureHeader.h"
#include "pictures/PictureSources.h"

#include <algorithm>
#include <utility>

namespace pictures {

namespace {

// Enough of a file to know its format and, but for a JPEG after a large
// EXIF block, the size that its header claims.
constexpr std::size_t kHeadLimit = 64 * 1024;

// FNV-1a: the same bytes, the same 64 bits.
std::uint64_t Fingerprint(const Bytes& bytes)
{
    std::uint64_t hash = 0xCBF29CE484222325u;
    for (const unsigned char byte : bytes)
        hash = (hash ^ byte) * 0x100000001B3u;
    return hash;
}

}  // namespace

PictureCycle::PictureCycle(std::unique_ptr<Files> files, Origin origin, std::shared_ptr<Showing> showing, int view)
    : m_files(std::move(files)), m_origin(std::move(origin)), m_showing(std::move(showing)), m_view(view)
{
}

std::optional<std::string> PictureCycle::Next(const Decode& decode)
{
    if (!m_reader)
        return Choose(decode);
    // After a pass that showed a picture the next starts at once; after one
    // that showed none, on the view's next asking.
    for (int pass = 0; pass < 2; ++pass) {
        if (m_ended)
            StartPass();
        if (std::optional<std::string> key = TakeFromPass(decode))
            return key;
        m_ended = true;
        if (!m_passShown)
            break;
    }
    return std::nullopt;
}

std::optional<std::string> PictureCycle::Choose(const Decode& decode)
{
    if (!m_origin.localAppData.empty() || !m_origin.internetCache.empty()) {
        for (const std::string& source :
             ShuffleSources(ListSources(m_origin.localAppData, m_origin.internetCache, *m_files), m_origin.seed)) {
            if (!(m_reader = OpenCache(source, *m_files)))
                continue;
            m_cache = true;
            StartPass();
            if (std::optional<std::string> key = TakeFromPass(decode))
                return key;
        }
    }
    m_reader = OpenFolderCache(m_origin.folder, {}, *m_files, true);
    m_cache = false;
    StartPass();
    std::optional<std::string> key = TakeFromPass(decode);
    m_ended = !key;
    return key;
}

// A cache's entries newest first; a folder's in the order of its listing.
void PictureCycle::StartPass()
{
    m_pass = m_reader->List();
    if (m_cache)
        std::stable_sort(m_pass.begin(), m_pass.end(),
                         [](const CacheEntry& a, const CacheEntry& b) { return a.used > b.used; });
    m_next = 0;
    m_ended = m_passShown = false;
    m_seen.clear();
}

std::optional<std::string> PictureCycle::TakeFromPass(const Decode& decode)
{
    std::optional<std::size_t> passed;  // the first that another view shows
    const auto take = [&](const CacheEntry& entry) -> std::optional<std::string> {
        m_showing->Show(m_view, entry.key);
        m_passShown = true;
        return entry.key;
    };
    while (m_next < m_pass.size()) {
        const CacheEntry& entry = m_pass[m_next++];
        if (m_showing->Elsewhere(m_view, entry.key))
            passed = passed.value_or(m_next - 1);
        else if (Offer(entry, decode))
            return take(entry);
    }
    if (passed && !m_showing->ShowsAny(m_view) && Offer(m_pass[*passed], decode))
        return take(m_pass[*passed]);
    return std::nullopt;
}

// A cache entry's first bytes tell whether it is a picture, and mostly its
// size; only then is it read whole and decoded. A folder's files are pictures
// by their names: each is read whole at once.
bool PictureCycle::Offer(const CacheEntry& entry, const Decode& decode)
{
    const std::size_t first = m_cache ? kHeadLimit : kMaxBytes + 1;
    Bytes bytes;
    if (entry.length > kMaxBytes || !m_reader->Read(entry, first, bytes))
        return false;
    const Format format = SniffFormat(bytes.data(), bytes.size());
    if (format == Format::None)
        return false;
    bool whole = bytes.size() < first;
    const auto readWhole = [&] {
        if (!whole)
            whole = m_reader->Read(entry, kMaxBytes + 1, bytes) && bytes.size() <= kMaxBytes;
        return whole;
    };
    const int least = m_cache ? kLeastSide : 0;
    if (HeaderTellsSize(format)) {
        std::optional<PixelSize> size = ReadPixelSize(format, bytes.data(), bytes.size());
        if (!size && !whole && readWhole())  // a JPEG's frame after a large EXIF block
            size = ReadPixelSize(format, bytes.data(), bytes.size());
        if (!size || !IsDecodable(*size) || std::min(size->width, size->height) < least)
            return false;
    }
    if (!readWhole())
        return false;
    if (m_cache && !m_seen.insert(Fingerprint(bytes)).second)
        return false;
    return decode(bytes, least);
}

Extent FitToThird(Extent picture, int width, int height)
{
    if (picture.cx <= 0 || picture.cy <= 0)
        return picture;
    const double w = picture.cx;
    const double h = picture.cy;
    if (picture.cx > picture.cy) {
        const int third = width / 3;
        return {third, static_cast<int>(h / w * third)};
    }
    const int third = height / 3;
    return {static_cast<int>(w / h * third), third};
}

}  // namespace pictures

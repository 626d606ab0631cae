// The picture cycle: the pictures of a view, one after another. The view
// counts its ticks and, when a change is due, asks the decoding thread for the
// next picture fitted to its tile; there the cycle reads its source, judges
// each entry by its first bytes, and hands the decoder the bytes of one
// picture after another until it takes one.
//
// In Velmora mode the source is one browser's cache, the first of the caches
// in a random order that holds a picture to show; its pictures come newest
// first, and after the last the pass starts again from the newest, taking in
// what the browser added meanwhile. Only pictures that a person looked at are
// shown: none under kLeastSide pixels on its shorter side (icons, buttons,
// tracking pixels), known by its header before it is decoded, and the same
// bytes under several keys (a cache partitioned by site keeps a copy for
// each) once a pass. Where no cache holds a picture, and outside Velmora mode,
// the source is the Folder setting's folder, whose every picture file is
// shown in the order of its listing. Plain C++ over the files that the window
// code gives; the decoder is the window code's too.
#pragma once

#include "pictures/Cache.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

namespace pictures {

// The least a cache's picture may be on its shorter side to be shown.
inline constexpr int kLeastSide = 128;

// The slide views of one run over several displays take turns at asking for
// pictures, one view a tick, so that a large picture's pause and memory do
// not grow with the displays. A view on its own is a group of one: every tick
// is its turn. On the window's thread.
class Group {
public:
    explicit Group(int views = 1) : m_ticks(views > 1 ? views : 1) {}

    int Size() const { return static_cast<int>(m_ticks.size()); }
    // Counts a tick of the view; true when the view may ask on it: its turn
    // comes on every Size()-th of its ticks, a tick later than the view before.
    bool Tick(int view) { return m_ticks[view]++ % m_ticks.size() == static_cast<unsigned>(view); }

private:
    std::vector<unsigned> m_ticks;
};

// Counts a tick of a view; true when a change is due on it: the counter has
// reached ChangeTimes, and it is the view's turn. A change that is due waits
// for the view's turn.
inline bool ChangeDue(int& tick, int changeTimes, Group& group, int view)
{
    const bool turn = group.Tick(view);
    if (tick < changeTimes) {
        ++tick;
        return false;
    }
    return turn;
}

// What the views of one run show, by each picture's key, so that a view
// passes over a picture that another shows. On the decoding thread.
class Showing {
public:
    explicit Showing(int views = 1) : m_keys(views > 1 ? views : 1) {}

    bool Elsewhere(int view, const std::string& key) const
    {
        for (int other = 0; other < static_cast<int>(m_keys.size()); ++other)
            if (other != view && m_keys[other] == key)
                return true;
        return false;
    }
    bool ShowsAny(int view) const { return !m_keys[view].empty(); }
    void Show(int view, std::string key) { m_keys[view] = std::move(key); }

private:
    std::vector<std::string> m_keys;
};

// Where a view's pictures come from, as its window knows them.
struct Origin {
    std::string localAppData, internetCache;  // both "" outside Velmora mode
    unsigned seed = 0;                        // orders the caches
    std::string folder;                       // the Folder setting
};

class PictureCycle {
public:
    // Decodes a picture from its bytes for the view; false when it cannot be
    // shown, also when it turns out under `leastSide` on its shorter side.
    using Decode = std::function<bool(const Bytes& bytes, int leastSide)>;

    PictureCycle(std::unique_ptr<Files> files, Origin origin, std::shared_ptr<Showing> showing, int view);

    // The key of the next picture that `decode` took, or nothing when a whole
    // pass offered none (the view waits its time before it asks again).
    std::optional<std::string> Next(const Decode& decode);

private:
    // Chooses the source: the first cache that offers a picture (taken), else
    // the Folder setting's folder.
    std::optional<std::string> Choose(const Decode& decode);
    void StartPass();
    // The pass's next picture that `decode` takes; a view that shows nothing
    // yet takes one that another view shows rather than none.
    std::optional<std::string> TakeFromPass(const Decode& decode);
    bool Offer(const CacheEntry& entry, const Decode& decode);

    std::unique_ptr<Files> m_files;
    Origin m_origin;
    std::shared_ptr<Showing> m_showing;
    int m_view;
    std::unique_ptr<CacheReader> m_reader;
    bool m_cache = false;  // a browser's cache, not a folder of pictures
    std::vector<CacheEntry> m_pass;
    std::size_t m_next = 0;
    bool m_ended = false;      // the pass has been gone through
    bool m_passShown = false;
    std::unordered_set<std::uint64_t> m_seen;  // the pass's pictures, by their bytes
};

struct Extent {
    int cx;
    int cy;
};

// The tile for a picture of `picture` pixels in a client area of width x
// height: a third of the width for a landscape picture, a third of the height
// otherwise, keeping the aspect ratio up to truncation. A picture that reports
// no extent on an axis keeps the size it reported.
Extent FitToThird(Extent picture, int width, int height);

}  // namespace pictures

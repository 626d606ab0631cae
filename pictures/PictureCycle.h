// The picture cycle: the listing that hands out one picture file after
// another, when a view asks for the next, and the fitting of the tile. Plain
// C++ over a listing that behaves as CFileFind does (FindFile, HasNext,
// FindNextFile, GetFilePath, MatchesMask, Close); the view passes its file
// finder, the tests a scripted one. The view asks the decoding thread for the
// file and shows it once it has been decoded; a file that cannot be decoded
// is passed over, and the next one asked for at once.
#pragma once

#include "pictures/PictureHeader.h"

#include <string>
#include <vector>

namespace pictures {

// The counter right after the listing has been (re)opened: ChangeTimes never
// exceeds 100, so the next tick takes a file.
inline constexpr int kReopenedTick = 100;
inline constexpr unsigned long kDirectoryAttribute = 0x10;  // FILE_ATTRIBUTE_DIRECTORY

// A sub-folder of a listing: a folder whose path does not end in "." (which
// keeps out "." and "..").
bool IsSubFolder(bool isFolder, const std::string& path);

// "%s\*": every entry of the folder, even after a folder's own trailing
// backslash. A folder of pictures shows its files by their names; a browser's
// cache names none, and shows every file that its bytes make a picture.
std::string ListingPattern(const std::string& folder);

// Whether the 8-bit listing may have cut an entry's name (the last part of
// its path): Windows keeps names of up to 255 characters, which take up to
// 765 bytes in UTF-8, and its 8-bit listing hands out fewer. A name of 255
// bytes or more is no name to open.
bool NameMayBeCut(const std::string& path);

// A file that the cycle may hand out.
inline bool IsCandidate(bool isFolder, const std::string& path, bool byName)
{
    return !isFolder && (!byName || IsPictureName(path)) && !NameMayBeCut(path);
}

// The cycle's state lives in its owner: `searching` while the listing is open
// (once closed by a failed reopening it stays closed), the tick counter, and
// whether the listing's pass so far has shown a picture.

// Opens (or reopens) the listing of the pattern; the counter is set so that
// the next tick takes a file.
template <class Finder>
void OpenListing(bool& searching, int& tick, Finder& finder, const std::string& pattern)
{
    finder.Close();
    searching = finder.FindFile(pattern.c_str()) != 0;
    tick = kReopenedTick;
}

// The slide views of one run over several displays share its pictures. They
// ask in turn, one view a tick, and a view passes over a file that another
// view shows or is about to show. A view on its own is a group of one: every
// tick is its turn, and nothing is shown elsewhere.
class Group {
public:
    explicit Group(int views = 1) : m_views(views > 1 ? views : 1) {}

    int Size() const { return static_cast<int>(m_views.size()); }
    // Counts a tick of the view; true when the view may ask on it: its turn
    // comes on every Size()-th of its ticks, a tick later than the view before.
    bool Tick(int view)
    {
        return m_views[view].ticks++ % m_views.size() == static_cast<unsigned>(view);
    }
    bool ShownElsewhere(int view, const std::string& path) const
    {
        for (int other = 0; other < Size(); ++other)
            if (other != view && (m_views[other].shown == path || m_views[other].coming == path))
                return true;
        return false;
    }
    bool ShowsAny(int view) const { return !m_views[view].shown.empty(); }
    // A file asked for, then shown or passed over.
    void Ask(int view, const std::string& path) { m_views[view].coming = path; }
    void Show(int view, const std::string& path)
    {
        m_views[view].shown = path;
        m_views[view].coming.clear();
    }
    void PassOver(int view) { m_views[view].coming.clear(); }

private:
    struct View {
        unsigned ticks = 0;
        std::string shown, coming;
    };
    std::vector<View> m_views;
};

// Counts a tick of a view whose listing is open; true when a change is due on
// it: the counter has reached ChangeTimes, and it is the view's turn. A change
// that is due waits for the view's turn.
inline bool ChangeDue(int& tick, int changeTimes, Group& group, int view)
{
    const bool turn = group.Tick(view);
    if (tick < changeTimes) {
        ++tick;
        return false;
    }
    return turn;
}

// The file to ask for: the listing's next candidate that no other view shows
// or is about to show (a view that shows nothing yet would rather show what
// another shows than nothing), asked for in the group. After the last file it
// reopens the listing instead and returns an empty path, the counter set so
// that the next tick takes a file, or, when the pass has shown no picture,
// so that the next pass waits ChangeTimes ticks.
template <class Finder>
std::string TakeNext(bool& searching, int& tick, bool& passShown, Finder& finder, const std::string& pattern,
                     bool byName, Group& group, int view)
{
    const auto ask = [&](const std::string& path) {
        group.Ask(view, path);
        return path;
    };
    std::string passed;  // the first file that another view shows
    while (finder.HasNext()) {
        finder.FindNextFile();
        const std::string path = finder.GetFilePath();
        if (!IsCandidate(finder.MatchesMask(kDirectoryAttribute) != 0, path, byName))
            continue;
        if (!group.ShownElsewhere(view, path))
            return ask(path);
        if (passed.empty())
            passed = path;
    }
    if (!passed.empty() && !group.ShowsAny(view))
        return ask(passed);
    OpenListing(searching, tick, finder, pattern);
    if (!passShown)
        tick = 0;
    passShown = false;
    return {};
}

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

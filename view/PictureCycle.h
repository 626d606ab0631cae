// The picture folder and its cycle: which cache sub-folders may hold the
// pictures, the listing that hands out one "*.jpg" after another, and the
// fitting of the tile. Plain C++ over a listing that behaves as CFileFind does
// (FindFile, HasNext, FindNextFile, GetFilePath, MatchesMask, Close); the view
// passes its file finder, the tests a scripted one.
#pragma once

#include <string>
#include <vector>

namespace pictures {

// The counter right after the listing has been (re)opened: ChangeTimes never
// exceeds 100, so the next tick takes a file.
inline constexpr int kReopenedTick = 100;
inline constexpr unsigned long kDirectoryAttribute = 0x10;  // FILE_ATTRIBUTE_DIRECTORY

// A cache sub-folder: a folder whose path does not end in "." (which keeps out
// "." and "..").
bool IsCacheCandidate(bool isFolder, const std::string& path);

// "%s\*.jpg": the folder unchanged, a backslash and the mask, even after a
// folder's own trailing backslash.
std::string PicturePattern(const std::string& folder);

// A sub-folder of a listing: a folder whose path does not end in "." (which
// keeps out "." and "..").
bool IsSubFolder(bool isFolder, const std::string& path);

// "%s\*": every entry of the folder, even after a folder's own trailing
// backslash.
std::string ListingPattern(const std::string& folder);

// The candidates of a listing of "Content.IE5\*.*", in listing order.
template <class Finder>
std::vector<std::string> ListCacheFolders(Finder& finder, const std::string& pattern)
{
    std::vector<std::string> folders;
    if (!finder.FindFile(pattern.c_str()))
        return folders;
    while (finder.HasNext()) {
        finder.FindNextFile();
        const std::string path = finder.GetFilePath();
        if (IsCacheCandidate(finder.MatchesMask(kDirectoryAttribute) != 0, path))
            folders.push_back(path);
    }
    finder.Close();
    return folders;
}

// The cycle's state lives in its owner: `searching` while the listing is open
// (once closed by a failed reopening it stays closed), and the tick counter.

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
// load in turn, one view a tick, so that no tick decodes two pictures, and a
// view passes over a file that another view shows. A view on its own is a
// group of one: every tick is its turn, and nothing is shown elsewhere.
class Group {
public:
    explicit Group(int views = 1) : m_views(views > 1 ? views : 1) {}

    int Size() const { return static_cast<int>(m_views.size()); }
    // Counts a tick of the view; true when the view may load on it: its turn
    // comes on every Size()-th of its ticks, a tick later than the view before.
    bool Tick(int view)
    {
        return m_views[view].ticks++ % m_views.size() == static_cast<unsigned>(view);
    }
    bool ShownElsewhere(int view, const std::string& path) const
    {
        for (int other = 0; other < Size(); ++other)
            if (other != view && m_views[other].shown == path)
                return true;
        return false;
    }
    bool ShowsAny(int view) const { return !m_views[view].shown.empty(); }
    void Show(int view, const std::string& path) { m_views[view].shown = path; }

private:
    struct View {
        unsigned ticks = 0;
        std::string shown;
    };
    std::vector<View> m_views;
};

// One tick of an open cycle of a view of a group. Counts until ChangeTimes is
// reached; then, on the view's turn, takes the next file of the listing that
// no other view shows (a view that shows nothing yet would rather show what
// another shows than nothing) and returns its path, the counter starting
// again at 0; after the last file it reopens the listing instead and returns
// an empty path. A change that is due waits for the view's turn.
template <class Finder>
std::string StepCycle(bool& searching, int& tick, Finder& finder, const std::string& pattern, int changeTimes,
                      Group& group, int view = 0)
{
    const bool turn = group.Tick(view);
    if (tick < changeTimes) {
        ++tick;
        return {};
    }
    if (!turn)
        return {};
    const auto take = [&](const std::string& path) {
        tick = 0;
        group.Show(view, path);
        return path;
    };
    std::string passed;  // the first file that another view shows
    while (finder.HasNext()) {
        finder.FindNextFile();
        const std::string path = finder.GetFilePath();
        if (!group.ShownElsewhere(view, path))
            return take(path);
        if (passed.empty())
            passed = path;
    }
    if (!passed.empty() && !group.ShowsAny(view))
        return take(passed);
    OpenListing(searching, tick, finder, pattern);
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

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

// One tick of an open cycle. Counts until ChangeTimes is reached, then takes
// the next file of the listing, whose path it returns (the counter starts
// again at 0); after the last file it reopens the listing instead and returns
// an empty path.
template <class Finder>
std::string StepCycle(bool& searching, int& tick, Finder& finder, const std::string& pattern, int changeTimes)
{
    if (tick < changeTimes) {
        ++tick;
        return {};
    }
    if (!finder.HasNext()) {
        OpenListing(searching, tick, finder, pattern);
        return {};
    }
    finder.FindNextFile();
    tick = 0;
    return finder.GetFilePath();
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

// The music of Velmora mode: a MIDI file picked at random among those the
// browser's cache holds. Every folder entry of the cache's Content.IE5 listing
// is searched, "." and ".." too, so files in Content.IE5 itself and in the
// cache folder above it take part.
#pragma once

#include <functional>
#include <string>
#include <vector>

// One entry of a folder listing: its full path, and whether it is a folder.
struct FolderEntry {
    std::string path;
    bool folder;
};

// Lists a pattern such as "C:\cache\*.mid"; nothing when it cannot be listed.
using ListFolder = std::function<std::vector<FolderEntry>(const std::string& pattern)>;

// The chosen file, or "" when the cache offers none (a folder named "x.mid"
// is no candidate). Draws one value from random, and only when there are
// candidates.
std::string ChooseCacheMidi(const std::string& cacheFolder, const ListFolder& list,
                            const std::function<int()>& random);

// Where Velmora mode finds the pictures that the user has lately met on the
// web: the caches that browsers keep on disk. Each source is one folder of
// cache files, which have no names a picture could be known by, only bytes:
//   - Edge, Chrome, Brave and Vivaldi: each profile's "Cache\Cache_Data" under
//     "User Data" in the user's local application data;
//   - Firefox: each profile's "cache2\entries" under "Mozilla\Firefox\Profiles";
//   - the system's internet cache: its containers "IE\*" and the sub-folders of
//     the older "Content.IE5".
// Sources are only listed and read, never written. Plain C++ over a folder
// listing and a test of a file, which the window code gives.
#pragma once

#include "pictures/Files.h"

#include <functional>
#include <string>
#include <vector>

namespace pictures {

// Lists a pattern such as "C:\cache\*"; nothing when it cannot be listed.
using ListFolder = std::function<std::vector<FolderEntry>(const std::string& pattern)>;

// Whether a file holds a picture that can be shown; false when it cannot be
// read (it vanished, or is locked, or cut short).
using IsPictureFile = std::function<bool(const std::string& path)>;

// Every source folder that the listings show, browser by browser and profile
// by profile, from the local application data folder and the internet cache
// folder (either may be "", unknown). Listing and reading a source is the
// only way to know whether it exists.
std::vector<std::string> ListSources(const std::string& localAppData, const std::string& internetCache,
                                     const ListFolder& list);

// The first source, in a random order that `seed` draws (each source as
// likely as any other to come first), that holds a picture; "" when none
// does. A source is read until its first picture.
std::string ChooseSource(const std::vector<std::string>& sources, unsigned seed, const ListFolder& list,
                         const IsPictureFile& isPicture);

}  // namespace pictures

// Where Velmora mode finds the pictures that the user has lately met on the
// web: the caches that browsers keep on disk. Each source is one cache folder:
//   - Edge, Chrome, Brave and Vivaldi: each profile's "Cache\Cache_Data" under
//     "User Data" in the user's local application data;
//   - Firefox: each profile's "cache2\entries" under "Mozilla\Firefox\Profiles";
//   - the system's internet cache: its containers "IE\*" and the sub-folders of
//     the older "Content.IE5".
// Which layout a folder holds, its contents tell (pictures/Cache.h).
#pragma once

#include "pictures/Cache.h"

#include <memory>
#include <string>
#include <vector>

namespace pictures {

// Every source folder that the listings show, browser by browser and profile
// by profile, from the local application data folder and the internet cache
// folder (either may be "", unknown). Reading a source is the only way to
// know whether it holds pictures.
std::vector<std::string> ListSources(const std::string& localAppData, const std::string& internetCache, Files& files);

// The sources in a random order that `seed` draws: each as likely as any
// other to come first, the same order for the same seed on every machine.
std::vector<std::string> ShuffleSources(std::vector<std::string> sources, unsigned seed);

// The reader of the layout that the folder's contents show: Chromium's
// blockfile, Simple or SQL cache, or Firefox's cache2; for any other folder,
// such as the containers of the system's internet cache, every file of the
// folder is a body of its own. Null for a folder that lists nothing.
std::unique_ptr<CacheReader> OpenCache(const std::string& folder, Files& files);

}  // namespace pictures

// Firefox's disk cache (cache2): the folder "cache2\entries" of a profile
// holds one file per entry, named by the SHA-1 of its key in 40 upper-case
// hex digits: the body from the file's start, then Firefox's metadata about
// it (the key, when it was last fetched, the HTTP headers), whose offset the
// file's last bytes name.
#pragma once

#include "pictures/Cache.h"

#include <memory>
#include <string>
#include <vector>

namespace pictures {

// The reader of a Firefox cache2 entries folder whose files `listing` shows;
// null unless the folder holds a file named by 40 upper-case hex digits whose
// last bytes name an offset inside it (only those bytes are read).
std::unique_ptr<CacheReader> OpenFirefoxCache(const std::string& folder, const std::vector<FolderEntry>& listing,
                                              Files& files);

}  // namespace pictures

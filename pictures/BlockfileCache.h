// The reader of Chromium's blockfile cache, the layout that Chrome and Edge
// keep on Windows: a file `index` whose hash table holds the addresses of the
// entries, block files `data_0` to `data_N` that hold the entries, their
// rankings nodes (where the last use is kept) and the small bodies, and a file
// `f_XXXXXX` for each body over 16 KB.
#pragma once

#include "pictures/Cache.h"

#include <memory>
#include <string>
#include <vector>

namespace pictures {

// The reader of the folder, or null unless the folder's file `index` starts
// with the blockfile index's magic number. `files` outlives the reader.
std::unique_ptr<CacheReader> OpenBlockfileCache(const std::string& folder, const std::vector<FolderEntry>& listing,
                                                Files& files);

}  // namespace pictures

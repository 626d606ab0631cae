// Chromium's Simple cache, the layout that Chromium writes on Linux and that
// Chrome may write elsewhere: one file "<entry hash>_0" per entry, holding a
// header, the key, the body (stream 1), the HTTP headers (stream 0) and an end
// record after each stream; "index-dir\the-real-index" keeps when each entry
// was last used.
#pragma once

#include "pictures/Cache.h"

#include <memory>
#include <string>
#include <vector>

namespace pictures {

// The reader of a Simple cache folder whose entries `listing` shows; null
// unless the folder holds a file named by an entry hash and "_0" that starts
// as such files start (only its first bytes are read).
std::unique_ptr<CacheReader> OpenSimpleCache(const std::string& folder, const std::vector<FolderEntry>& listing,
                                             Files& files);

}  // namespace pictures

// A folder whose every file is a body of its own: the containers of the
// system's internet cache, whose files are known by their bytes, and the
// user's folder of pictures, whose files are known by their names. Entries
// come in the order of the folder's listing; a file's last use is its last
// write.
#pragma once

#include "pictures/Cache.h"

namespace pictures {

std::unique_ptr<CacheReader> OpenFolderCache(const std::string& folder, std::vector<FolderEntry> listing,
                                             Files& files, bool byName);

}  // namespace pictures

// Chromium's SQL cache: a folder whose `index` file begins with the text
// "SQLCache", beside one SQLite database a shard, `sqldb0` to `sqldbN`. Each
// database keeps a row a resource (`resources`: its key, last use in
// microseconds since 1601, the body's length, whether it is doomed) and its
// body in rows of `blobs`, each a run of bytes [start, end) with a checksum.
// The databases are read through SQLite as immutable files: a database the
// browser holds, or one that does not read as Chromium's, is passed over and
// the other shards still read.
#pragma once

#include "pictures/Cache.h"

#include <memory>
#include <string>
#include <vector>

namespace pictures {

// The reader of the folder, or null where it is not an SQL cache. An entry's
// file is its database and its offset the resource's row (`res_id`).
std::unique_ptr<CacheReader> OpenSqlCache(const std::string& folder, const std::vector<FolderEntry>& listing,
                                          Files& files);

}  // namespace pictures

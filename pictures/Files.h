// What the pictures' way asks of the file system, and no more: a folder's
// entries, and files opened to be read at any offset. The window code gives
// Windows' own (every file opened for reading only, shared with every other
// opener, so that a browser may go on writing, renaming and deleting its cache
// files); the tests give the disk's or bytes of their own. Paths are Windows'
// paths, in UTF-8, folders joined by a backslash.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pictures {

// A moment as Windows' file times and Chromium's caches count it: microseconds
// since 1 January 1601, UTC.
using Time = std::int64_t;
// The same moment from seconds since 1 January 1970, UTC, as Firefox counts.
inline constexpr Time kUnixEpoch = 11644473600LL * 1000000;
inline constexpr Time FromUnixSeconds(std::int64_t seconds) { return kUnixEpoch + seconds * 1000000; }

// One entry of a folder: its full path, whether it is a folder, and a file's
// length in bytes and last write.
struct FolderEntry {
    std::string path;
    bool folder = false;
    std::uint64_t size = 0;
    Time written = 0;
};

// A file open for reading. Another program may change it meanwhile: every read
// says whether it got all it asked for.
class ReadFile {
public:
    virtual ~ReadFile() = default;
    // The file's length now.
    virtual std::uint64_t Size() = 0;
    // Reads `size` bytes at `offset` into `out`; false unless every one was read.
    virtual bool ReadAt(std::uint64_t offset, void* out, std::size_t size) = 0;
};

class Files {
public:
    virtual ~Files() = default;
    // The entries of a folder, "." and ".." left out, in the order the file
    // system gives them; none when it cannot be listed.
    virtual std::vector<FolderEntry> List(const std::string& folder) = 0;
    // The file, opened for reading; null when it cannot be opened (missing, a
    // folder, or held by its writer so that nobody else may open it).
    virtual std::unique_ptr<ReadFile> Open(const std::string& path) = 0;
};

// The last part of a path, after its last backslash.
std::string NameOf(const std::string& path);

// Whether the 8-bit listing may have cut an entry's name: Windows keeps names
// of up to 255 characters, which take up to 765 bytes in UTF-8, and its 8-bit
// listing hands out fewer. A name of 255 bytes or more is no name to open.
bool NameMayBeCut(const std::string& path);

}  // namespace pictures

// What every cache reader must keep to, whatever the files of its folder hold:
// each entry it hands out lies inside its file, a read gives the first bytes
// of the body up to the limit and nothing else, and listing again gives as
// many entries. A broken rule aborts, for libFuzzer to keep the input.
#pragma once

#include "pictures/Cache.h"
#include "tests/MemoryFiles.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

inline void CheckReader(pictures::CacheReader& reader, MemoryFiles& files)
{
    const auto check = [](bool condition) {
        if (!condition)
            std::abort();
    };
    const std::vector<pictures::CacheEntry> entries = reader.List();
    for (const pictures::CacheEntry& entry : entries) {
        const auto it = files.files.find(entry.file);
        check(it != files.files.end());
        const std::vector<unsigned char>& bytes = it->second;
        check(entry.length > 0 && entry.offset <= bytes.size() && entry.length <= bytes.size() - entry.offset);
        for (const std::size_t limit : {std::size_t{0}, std::size_t{5}, SIZE_MAX}) {
            pictures::Bytes body;
            check(reader.Read(entry, limit, body));
            check(body.size() == std::min<std::uint64_t>(limit, entry.length));
            check(std::equal(body.begin(), body.end(), bytes.begin() + static_cast<std::ptrdiff_t>(entry.offset)));
        }
    }
    check(reader.List().size() == entries.size());
}

// Random cache folders against the Simple cache's reader: the input is the
// folder's files (tests/fuzz/FuzzFiles.h), seeded with entries and the index
// that chromium wrote.
#include "pictures/SimpleCache.h"
#include "tests/fuzz/FuzzFiles.h"
#include "tests/fuzz/ReaderChecks.h"

#include <cstdint>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string folder = "C:\\cache";
    MemoryFiles files = UnpackFiles(data, size, folder);
    const std::unique_ptr<pictures::CacheReader> reader = pictures::OpenSimpleCache(folder, files.List(folder), files);
    if (reader)
        CheckReader(*reader, files);
    return 0;
}

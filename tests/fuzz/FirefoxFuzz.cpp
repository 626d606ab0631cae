// Random cache folders against Firefox's cache2 reader: the input is the
// folder's files (tests/fuzz/FuzzFiles.h), seeded with entries that
// firefox-esr wrote.
#include "pictures/FirefoxCache.h"
#include "tests/fuzz/FuzzFiles.h"
#include "tests/fuzz/ReaderChecks.h"

#include <cstdint>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string folder = "C:\\profile\\cache2\\entries";
    MemoryFiles files = UnpackFiles(data, size, folder);
    const std::unique_ptr<pictures::CacheReader> reader = pictures::OpenFirefoxCache(folder, files.List(folder), files);
    if (reader)
        CheckReader(*reader, files);
    return 0;
}

// Not a test: a whole pass of the picture cycle over the browsers' caches of
// a local application data folder, as the saver's decoding thread makes it
// for a tile of a third of a 1920 x 1080 screen: the entries' listing (its
// time, its count and the bytes the list takes), the time to the first
// picture and to the pass's end, and how many pictures the pass shows,
// against the pictures of 128 pixels or more that the cache keeps as files of
// their own (Chromium's f_ files, each a body of over 16 KB).
// Usage: pass_bench LOCALAPPDATA CACHE-FOLDER
#include "fw/Com.h"
#include "pictures/Picture.h"
#include "pictures/PictureCycle.h"
#include "pictures/PictureSources.h"
#include "pictures/WinFiles.h"

#include "Clock.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <memory>
#include <string>

namespace {

// The picture a view of 1920 x 1080 keeps, or none.
bool Decode(const pictures::Bytes& bytes, int leastSide)
{
    CPicture picture;
    return picture.Load(
               bytes,
               [](SIZE natural) {
                   const pictures::Extent tile = pictures::FitToThird({natural.cx, natural.cy}, 1920, 1080);
                   return SIZE{tile.cx, tile.cy};
               },
               leastSide) != FALSE;
}

void Row(const char* figure, const std::string& value) { std::printf("%-40s %14s\n", figure, value.c_str()); }
std::string Format(const char* format, double value)
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: pass_bench LOCALAPPDATA CACHE-FOLDER\n");
        return 2;
    }
    const CComApartment mta(COINIT_MULTITHREADED);
    CWinFiles files;

    double start = Now();
    const size_t files_listed = files.List(argv[2]).size();
    Row("  the folder's listing", Format("%.0f ms", Now() - start));
    (void)files_listed;
    start = Now();
    std::unique_ptr<pictures::CacheReader> reader = pictures::OpenCache(argv[2], files);
    const std::vector<pictures::CacheEntry> entries = reader ? reader->List() : std::vector<pictures::CacheEntry>();
    const double listed = Now() - start;
    size_t bytes = entries.capacity() * sizeof(pictures::CacheEntry);
    for (const pictures::CacheEntry& entry : entries)
        bytes += entry.key.capacity() + entry.file.capacity();
    Row("  entries listed", Format("%.0f", static_cast<double>(entries.size())));
    Row("  listing", Format("%.0f ms", listed));
    Row("  the list's memory", Format("%.0f kB", bytes / 1024.0));

    pictures::PictureCycle cycle(std::make_unique<CWinFiles>(), {argv[1], "", 0, "C:\\nowhere"},
                                 std::make_shared<pictures::Showing>(), 0);
    start = Now();
    std::optional<std::string> first = cycle.Next(Decode);
    const double toFirst = Now() - start;
    int shown = first ? 1 : 0;
    for (std::optional<std::string> key = first; key && (key = cycle.Next(Decode)) && *key != *first;)
        ++shown;
    Row("  to the first picture", Format("%.0f ms", toFirst));
    Row("  a whole pass", Format("%.0f ms", Now() - start));
    Row("  pictures a pass shows", Format("%.0f", shown));

    int kept = 0;
    for (const pictures::FolderEntry& file : files.List(argv[2])) {
        pictures::Bytes body;
        kept += pictures::NameOf(file.path).compare(0, 2, "f_") == 0 &&
                pictures::ReadRange(files, file.path, 0, file.size, file.size, body) &&
                Decode(body, pictures::kLeastSide);
    }
    Row("  pictures in f_ files alone", Format("%.0f", kept));
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory))
        Row("  peak working set", Format("%.0f kB", memory.PeakWorkingSetSize / 1024.0));
    return 0;
}

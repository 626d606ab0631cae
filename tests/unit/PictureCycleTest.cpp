#include "pictures/PictureCycle.h"
#include "tests/MemoryFiles.h"
#include "tests/unit/DiskFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// The test's files as the cycle's own, noting the longest read of each.
struct CountedFiles : pictures::Files {
    CountedFiles(MemoryFiles& files, std::map<std::string, std::size_t>& read) : files(files), read(read) {}
    std::vector<pictures::FolderEntry> List(const std::string& folder) override { return files.List(folder); }
    std::unique_ptr<pictures::ReadFile> Open(const std::string& path) override
    {
        struct Counted : pictures::ReadFile {
            std::unique_ptr<pictures::ReadFile> file;
            std::size_t& read;
            Counted(std::unique_ptr<pictures::ReadFile> file, std::size_t& read) : file(std::move(file)), read(read) {}
            std::uint64_t Size() override { return file->Size(); }
            bool ReadAt(std::uint64_t offset, void* out, std::size_t size) override
            {
                read = std::max(read, size);
                return file->ReadAt(offset, out, size);
            }
        };
        std::unique_ptr<pictures::ReadFile> file = files.Open(path);
        return file ? std::make_unique<Counted>(std::move(file), read[path]) : nullptr;
    }
    MemoryFiles& files;
    std::map<std::string, std::size_t>& read;
};

// A picture's bytes: a PNG whose header claims w x h pixels, or a BMP, whose
// header the cycle does not read; then "w h tag" for the test's decoder.
std::vector<unsigned char> Picture(int w, int h, const std::string& tag, bool png = true)
{
    std::string bytes = png ? std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16) : std::string("BM", 2);
    for (const int side : {w, h})
        for (int shift = 24; png && shift >= 0; shift -= 8)
            bytes += static_cast<char>(side >> shift & 0xFF);
    bytes += " " + std::to_string(w) + " " + std::to_string(h) + " " + tag;
    return {bytes.begin(), bytes.end()};
}

struct Row {
    std::vector<std::pair<std::string, std::vector<unsigned char>>> files;  // under D\, each written at its index
    bool velmora;
    int asks;
    const char* trace;  // each ask's picture, "-" for none in a whole pass
};

// The test's decoder: any picture but a "broken" one, none under the least
// side it is given.
bool Decode(const pictures::Bytes& bytes, int leastSide)
{
    const std::string text(bytes.begin(), bytes.end());
    int w = 0, h = 0;
    std::sscanf(text.c_str() + text.find(' '), "%d %d", &w, &h);
    return text.find("broken") == std::string::npos && std::min(w, h) >= leastSide;
}

std::string Trace(pictures::PictureCycle& cycle, int asks)
{
    std::string trace;
    for (int i = 0; i < asks; ++i) {
        const std::optional<std::string> key = cycle.Next(Decode);
        trace += (key ? pictures::NameOf(*key) : std::string("-")) + " ";
    }
    return trace;
}

}  // namespace

// A folder of pictures: its picture files by their names in the order of the
// listing, every size, the same bytes twice too; a cache (Velmora mode, here
// a container of the internet cache, whose files' last writes are their last
// use): its pictures newest first, none under 128 pixels on its shorter side
// (by the header, or by the decoder for a format whose header is not read),
// the same bytes once a pass. A picture that does not decode is passed over
// at once; after the last the pass starts again at once, and a pass that
// shows nothing answers none.
TEST(PictureCycleTest, HandsOutPictureAfterPicture)
{
    const auto pic = [](int w, int h, const std::string& tag) { return Picture(w, h, tag); };
    const Row rows[] = {
        {{{"a.jpg", pic(640, 480, "a")}, {"notes.txt", pic(640, 480, "n")}, {"b.PNG", pic(20, 20, "b")},
          {"x.png\\inner", pic(640, 480, "x")}, {"c.gif", pic(640, 480, "a")}},
         false, 5, "a.jpg b.PNG c.gif a.jpg b.PNG "},
        {{{"a.jpg", pic(640, 480, "broken")}, {"b.jpg", pic(640, 480, "b")}}, false, 2, "b.jpg b.jpg "},
        {{{"a.jpg", pic(640, 480, "broken")}}, false, 2, "- - "},
        {{}, false, 2, "- - "},
        {{{"old", pic(640, 427, "old")}, {"copy", pic(240, 160, "new")}, {"new", pic(240, 160, "new")},
          {"icon", pic(32, 32, "icon")}, {"pixel", pic(1, 1, "pixel")}, {"banner", pic(300, 90, "banner")},
          {"bmp", Picture(100, 100, "bmp", false)}, {"script", {'v', 'a', 'r'}}},
         true, 4, "new old new old "},
        {{{"a", pic(640, 480, "broken")}, {"b", pic(100, 640, "b")}}, true, 2, "- - "},
    };
    for (const Row& row : rows) {
        MemoryFiles files;
        for (std::size_t i = 0; i < row.files.size(); ++i) {
            const std::string path = (row.velmora ? "N\\IE\\X\\" : "D\\") + row.files[i].first;
            files.files[path] = row.files[i].second;
            files.written[path] = static_cast<pictures::Time>(i);
        }
        std::map<std::string, std::size_t> read;
        pictures::PictureCycle cycle(std::make_unique<CountedFiles>(files, read),
                                     {"", row.velmora ? "N" : "", 0, "D"}, std::make_shared<pictures::Showing>(), 0);
        EXPECT_EQ(Trace(cycle, row.asks), row.trace);
    }
}

// A cache is read no further than it must: of a file that is no picture, or
// a picture too small to show, only the first 64 KB. A pass takes in what
// the browser added meanwhile, newest first; only where no cache offers a
// picture does the Folder setting's folder serve.
TEST(PictureCycleTest, ReadsCachesAsLittleAsItMust)
{
    MemoryFiles files;
    std::map<std::string, std::size_t> read;
    std::vector<unsigned char> script(1 << 20, 'x'), icon = Picture(32, 32, "icon");
    icon.resize(1 << 20);
    files.files = {{"N\\IE\\A\\script", script}, {"N\\IE\\B\\icon", icon}, {"N\\IE\\B\\a", Picture(300, 200, "a")},
                   {"D\\folder.jpg", Picture(300, 200, "f")}};
    files.written = {{"N\\IE\\B\\a", 1}, {"N\\IE\\B\\icon", 2}};
    for (unsigned seed = 0; seed < 4; ++seed) {
        pictures::PictureCycle cycle(std::make_unique<CountedFiles>(files, read), {"", "N", seed, "D"},
                                     std::make_shared<pictures::Showing>(), 0);
        EXPECT_EQ(Trace(cycle, 2), "a a ");
        files.files["N\\IE\\B\\b"] = Picture(300, 200, "b");
        files.written["N\\IE\\B\\b"] = 3;
        EXPECT_EQ(Trace(cycle, 2), "b a ");
        files.files.erase("N\\IE\\B\\b");
    }
    EXPECT_TRUE(read["N\\IE\\A\\script"] == 65536 && read["N\\IE\\B\\icon"] == 65536);
    files.files.erase("N\\IE\\B\\a");
    pictures::PictureCycle cycle(std::make_unique<CountedFiles>(files, read), {"", "N", 0, "D"},
                                 std::make_shared<pictures::Showing>(), 0);
    EXPECT_EQ(Trace(cycle, 2), "folder.jpg folder.jpg ");
}

// The views of a run over several displays show different pictures where
// there are enough; a view that shows nothing yet shows what another shows
// rather than nothing, and then keeps it.
TEST(PictureCycleTest, ViewsShowDifferentPictures)
{
    for (const auto& [count, trace] : {std::pair{3, "a b/c a/b c/"}, {1, "a a/- -/- -/"}}) {
        MemoryFiles files;
        for (int i = 0; i < count; ++i)
            files.files[std::string("D\\") + static_cast<char>('a' + i) + ".jpg"] = Picture(300, 200, {});
        std::map<std::string, std::size_t> read;
        const auto showing = std::make_shared<pictures::Showing>(2);
        pictures::PictureCycle one(std::make_unique<CountedFiles>(files, read), {"", "", 0, "D"}, showing, 0),
            two(std::make_unique<CountedFiles>(files, read), {"", "", 0, "D"}, showing, 1);
        std::string seen;
        for (int tick = 0; tick < 3; ++tick) {
            seen += Trace(one, 1).substr(0, 1) + " ";
            seen += Trace(two, 1).substr(0, 1) + "/";
        }
        EXPECT_EQ(seen, trace);
    }
}

// Over the caches that real browsers wrote as they visited two pages (the
// second's small photo beside its copy, a pixel, an icon and a banner, then
// the first's photo), each laid as a container of the internet cache: the
// later page's photo first, then the earlier's, then again; the rest never.
TEST(PictureCycleTest, RealCachesNewestFirst)
{
    const std::filesystem::path laid = std::filesystem::temp_directory_path() / "vlm-cycle";
    for (const char* layout : {"blockfile", "simple", "sql", "firefox"}) {
        std::filesystem::remove_all(laid);
        std::filesystem::create_directories(laid / "IE");
        std::filesystem::create_directory_symlink(CacheFolder(layout), laid / "IE" / layout);
        pictures::PictureCycle cycle(std::make_unique<DiskFiles>(), {"", laid.string(), 0, "D"},
                                     std::make_shared<pictures::Showing>(), 0);
        std::string trace;
        for (int i = 0; i < 3; ++i) {
            const std::optional<std::string> key = cycle.Next([](const pictures::Bytes&, int least) {
                return least == pictures::kLeastSide;
            });
            trace += key ? key->substr(key->rfind('/') + 1) + " " : "- ";
        }
        EXPECT_EQ(trace, "new.jpg old.jpg new.jpg ") << layout;
    }
    std::filesystem::remove_all(laid);
}

// A third of the width for a landscape picture, of the height otherwise,
// keeping the aspect up to truncation; a picture without extent is kept.
TEST(PictureCycleTest, FitToAThirdOfTheClient)
{
    const int cases[][6] = {  // picture, client, tile
        {800, 600, 1024, 768, 341, 255}, {600, 800, 1024, 768, 192, 256}, {500, 500, 1024, 768, 256, 256},
        {640, 480, 152, 112, 50, 37},    {20, 10, 1920, 1080, 640, 320},  {0, 50, 1024, 768, 0, 50},
        {50, 0, 1024, 768, 50, 0},
    };
    for (const auto& c : cases) {
        const pictures::Extent tile = pictures::FitToThird({c[0], c[1]}, c[2], c[3]);
        EXPECT_TRUE(tile.cx == c[4] && tile.cy == c[5]) << c[0] << " x " << c[1] << ": " << tile.cx << " x " << tile.cy;
    }
}

#include "pictures/PictureCycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A listing as the file finder gives it, of names under D:\p ("*" before a
// folder's name); `failOpens` makes the next openings fail (the folder gone).
struct ScriptedFinder {
    std::vector<std::string> names;
    int failOpens = 0;
    std::vector<std::string> patterns = {};
    bool open = false;
    size_t next = 0, current = 0;

    bool FindFile(const char* pattern)
    {
        patterns.push_back(pattern);
        next = 0;
        return open = !names.empty() && failOpens-- <= 0;
    }
    bool HasNext() const { return open && next < names.size(); }
    bool FindNextFile() { return current = next++, HasNext(); }
    std::string GetFilePath() const { return "D:\\p\\" + names.at(current).substr(names.at(current)[0] == '*'); }
    bool MatchesMask(unsigned long mask) const { return mask == 0x10 && names.at(current)[0] == '*'; }
    void Close() { open = false; }
};

// What each tick does: "-" counting, or the files asked for ("!" after one
// that cannot be decoded and is passed over at once) until one is shown or
// the listing restarts, each with the counter after it. Views of a group over
// one folder, one after the other each tick ("/" between them), ask in turn,
// and a view passes over the file that another shows. A folder of pictures
// offers its files by their names, a cache every file, to be judged by its
// bytes; a name that the listing may have cut is passed over. A pass that
// shows nothing makes the next wait its whole time.
TEST(PictureCycleTest, TakesEachFileInTurn)
{
    const struct {
        std::vector<std::string> files;
        int changeTimes, failOpens, views;  // failOpens: the openings after the first that fail
        bool byName;
        std::vector<std::string> broken;  // files that do not decode
        const char* trace;
    } cases[] = {
        {{"a.jpg", "b.jpg", "c.jpg"}, 1, 0, 1, true, {}, "a.jpg@0 -@1 b.jpg@0 -@1 c.jpg@0 -@1 restart@100 a.jpg@0 -@1 "},
        {{"only.jpg"}, 2, 0, 1, true, {}, "only.jpg@0 -@1 -@2 restart@100 only.jpg@0 -@1 -@2 restart@100 only.jpg@0 "},
        {{}, 1, 0, 1, true, {}, ""},                                 // an empty folder stays closed
        {{"a.jpg"}, 1, 1, 1, true, {}, "a.jpg@0 -@1 restart@100 "},  // a folder gone: closed for good
        {{"a.jpg", "b.jpg"}, 50, 0, 1, true, {}, "a.jpg@0 -@1 -@2 -@3 -@4 b.jpg@0 -@1 -@2 -@3 "},  // 3 after 5 ticks
        {{"a.jpg", "b.jpg", "c.jpg"}, 1, 0, 2, true, {}, "a.jpg@0/-@100 -@1/b.jpg@0 c.jpg@0/-@1 -@1/restart@100 "
                                               "restart@100/-@100 -@100/a.jpg@0 b.jpg@0/-@1 -@1/c.jpg@0 restart@100/-@1 "},
        {{"a.jpg"}, 1, 0, 2, true, {}, "a.jpg@0/-@100 -@1/a.jpg@0 restart@100/-@1 -@100/restart@100 "  // or none, then
                                       "restart@0/-@100 -@1/restart@0 restart@0/-@1 -@1/restart@0 restart@0/-@1 "},
        {{"a.JPG", "notes.txt", "*sub.png", "x.jpg.txt", std::string(251, 'x') + ".jpg", "b.Jpe", "c.jfif", "x.ico",
          "d.TIFF", "e.gif", "f.webp", "g.heic", "\xC3\xA9.avif"},  // é.avif
         0, 0, 1, true, {}, "a.JPG@0 b.Jpe@0 c.jfif@0 d.TIFF@0 e.gif@0 f.webp@0 g.heic@0 \xC3\xA9.avif@0 restart@100 "},
        {{"f1", "*f2", "f3", "ix"}, 1, 0, 1, false, {"f1", "ix"},  // a cache's files
         "f1!f3@0 -@1 ix!restart@100 f1!f3@0 -@1 ix!restart@100 f1!f3@0 -@1 ix!restart@100 "},
        {{"a.jpg", "b.jpg"}, 2, 0, 1, true, {"a.jpg", "b.jpg"}, "a.jpg!b.jpg!restart@0 -@1 -@2 a.jpg!b.jpg!restart@0 "
                                                               "-@1 -@2 a.jpg!b.jpg!restart@0 -@1 -@2 "},
    };
    for (const auto& c : cases) {
        struct View {
            ScriptedFinder finder;
            bool searching = false, passShown = false;
            int tick = 0;
        };
        std::vector<View> views(c.views, View{{c.files}});
        pictures::Group group = c.views > 1 ? pictures::Group(c.views) : pictures::Group();  // alone: the default
        for (View& v : views) {
            pictures::OpenListing(v.searching, v.tick, v.finder, "D:\\p\\*");
            EXPECT_TRUE(v.searching == !c.files.empty() && v.tick == 100);
            v.finder.failOpens = c.failOpens;
        }
        std::string trace;
        for (int i = 0; i < 9 && views[0].searching; ++i)
            for (int k = 0; k < c.views; ++k) {
                View& v = views[k];
                const int changeTimes = c.changeTimes == 50 && i >= 5 ? 3 : c.changeTimes;  // lowered by the dialog
                std::string step = pictures::ChangeDue(v.tick, changeTimes, group, k) ? "" : "-";
                while (step.empty() || step.back() == '!') {  // as the view asks, and is answered
                    const std::string path = pictures::TakeNext(v.searching, v.tick, v.passShown, v.finder,
                                                                "D:\\p\\*", c.byName, group, k);
                    const std::string name = path.empty() ? "restart" : path.substr(5);
                    const bool broken = std::count(c.broken.begin(), c.broken.end(), name) > 0;
                    step += name + (broken ? "!" : "");
                    if (broken) {
                        group.PassOver(k);
                    } else if (!path.empty()) {
                        group.Show(k, path);
                        v.tick = 0;
                        v.passShown = true;
                    }
                }
                trace += step + "@" + std::to_string(v.tick) + (k + 1 < c.views ? "/" : " ");
            }
        EXPECT_EQ(trace, c.trace);
        const std::vector<std::string>& patterns = views[0].finder.patterns;
        EXPECT_EQ(patterns, std::vector<std::string>(patterns.size(), "D:\\p\\*"));
    }
    EXPECT_EQ(pictures::ListingPattern("C:\\") + pictures::ListingPattern("D:\\p"), "C:\\\\*D:\\p\\*");
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

}  // namespace

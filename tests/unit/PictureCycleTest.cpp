#include "view/PictureCycle.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
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

// What each tick does: the file it takes, "-" counting or "restart", each
// with the counter after it.
TEST(PictureCycleTest, TakesEachFileInTurn)
{
    const struct {
        std::vector<std::string> files;
        int changeTimes, failOpens;  // the openings after the first that fail
        const char* trace;
    } cases[] = {
        {{"a.jpg", "b.jpg", "c.jpg"}, 1, 0, "a.jpg@0 -@1 b.jpg@0 -@1 c.jpg@0 -@1 restart@100 a.jpg@0 -@1 "},
        {{"only.jpg"}, 2, 0, "only.jpg@0 -@1 -@2 restart@100 only.jpg@0 -@1 -@2 restart@100 only.jpg@0 "},
        {{}, 1, 0, ""},                                 // an empty folder stays closed
        {{"a.jpg"}, 1, 1, "a.jpg@0 -@1 restart@100 "},  // a folder gone: closed for good
        {{"a.jpg", "b.jpg"}, 50, 0, "a.jpg@0 -@1 -@2 -@3 -@4 b.jpg@0 -@1 -@2 -@3 "},  // 3 after 5 ticks
    };
    for (const auto& c : cases) {
        ScriptedFinder finder{c.files};
        bool searching = false;
        int tick = 0;
        pictures::Group alone;
        pictures::OpenListing(searching, tick, finder, "D:\\p\\*.jpg");
        EXPECT_TRUE(searching == !c.files.empty() && tick == 100);
        finder.failOpens = c.failOpens;
        std::string trace;
        for (int i = 0; i < 9 && searching; ++i) {
            const size_t openings = finder.patterns.size();
            const int changeTimes = c.changeTimes == 50 && i >= 5 ? 3 : c.changeTimes;  // lowered by the dialog
            const std::string path = pictures::StepCycle(searching, tick, finder, "D:\\p\\*.jpg", changeTimes, alone);
            trace += (!path.empty() ? path.substr(5) : finder.patterns.size() != openings ? "restart" : "-") + "@" +
                     std::to_string(tick) + " ";
        }
        EXPECT_EQ(trace, c.trace);
        EXPECT_EQ(finder.patterns, std::vector<std::string>(finder.patterns.size(), "D:\\p\\*.jpg"));
    }
}

// Two views of a group over one folder, ChangeTimes 1: they load in turn, no
// tick loads twice, and a view passes over the file that the other shows.
TEST(PictureCycleTest, AGroupTakesTurnsAndShowsDifferentFiles)
{
    pictures::Group group(2);
    ScriptedFinder finders[2] = {{{"a.jpg", "b.jpg", "c.jpg"}}, {{"a.jpg", "b.jpg", "c.jpg"}}};
    bool searching[2] = {};
    int ticks[2] = {};
    std::string trace;
    for (int view = 0; view < 2; ++view)
        pictures::OpenListing(searching[view], ticks[view], finders[view], "D:\\p\\*.jpg");
    for (int tick = 1; tick <= 8; ++tick)
        for (int view = 0; view < 2; ++view) {
            const size_t openings = finders[view].patterns.size();
            const std::string path =
                pictures::StepCycle(searching[view], ticks[view], finders[view], "D:\\p\\*.jpg", 1, group, view);
            trace += (!path.empty() ? path.substr(5, 1) : finders[view].patterns.size() != openings ? "R" : "-") +
                     std::string(view == 0 ? "" : " ");
        }
    EXPECT_EQ(trace, "a- -b c- -R R- -a b- -c ");
}

// Velmora mode's candidates: the sub-folders of Content.IE5 but "." and "..",
// in the listing's order, the listing closed after. The pattern keeps the
// folder as it is.
TEST(PictureCycleTest, CacheFoldersAndPattern)
{
    ScriptedFinder finder{{"*.", "*..", "*AB12CD", "index.dat", "*ZZ99", "*dots."}};
    EXPECT_EQ(pictures::ListCacheFolders(finder, "C:\\c\\Content.IE5\\*.*"),
              (std::vector<std::string>{"D:\\p\\AB12CD", "D:\\p\\ZZ99"}));
    EXPECT_TRUE(finder.patterns == std::vector<std::string>{"C:\\c\\Content.IE5\\*.*"} && !finder.open);
    EXPECT_FALSE(pictures::IsCacheCandidate(true, ""));
    EXPECT_EQ(pictures::PicturePattern("C:\\") + pictures::PicturePattern("D:\\p"), "C:\\\\*.jpgD:\\p\\*.jpg");
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

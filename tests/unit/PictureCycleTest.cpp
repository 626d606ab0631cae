#include "view/PictureCycle.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A listing as CFileFind gives it, from a script of entries; `failOpens`
// lets the next openings fail (the folder is gone).
struct Entry {
    std::string name;
    bool folder;
};

class ScriptedFinder {
public:
    explicit ScriptedFinder(std::vector<Entry> entries) : m_entries(std::move(entries)) {}

    bool FindFile(const char* pattern)
    {
        m_patterns.push_back(pattern);
        m_open = !m_entries.empty() && m_failOpens-- <= 0;
        m_next = 0;
        return m_open;
    }
    bool HasNext() const { return m_open && m_next < m_entries.size(); }
    bool FindNextFile()
    {
        m_current = m_next++;
        return HasNext();
    }
    std::string GetFilePath() const { return "D:\\p\\" + m_entries.at(m_current).name; }
    bool MatchesMask(unsigned long mask) const
    {
        return mask == pictures::kDirectoryAttribute && m_entries.at(m_current).folder;
    }
    void Close() { m_open = false; }

    std::vector<Entry> m_entries;
    std::vector<std::string> m_patterns;
    int m_failOpens = 0;

private:
    bool m_open = false;
    std::size_t m_next = 0;
    std::size_t m_current = 0;
};

ScriptedFinder Files(const std::vector<std::string>& names)
{
    std::vector<Entry> entries;
    for (const std::string& name : names)
        entries.push_back({name, false});
    return ScriptedFinder(entries);
}

const std::string kPattern = "D:\\p\\*.jpg";

struct Cycle {
    bool searching = false;
    int tick = 0;
};

void Open(Cycle& cycle, ScriptedFinder& finder) { pictures::OpenListing(cycle.searching, cycle.tick, finder, kPattern); }

// What each tick does: the file it takes, "-" for counting, "restart".
std::vector<std::string> RunTicks(ScriptedFinder& finder, Cycle& cycle, int ticks, int changeTimes)
{
    std::vector<std::string> trace;
    for (int i = 0; i < ticks && cycle.searching; ++i) {
        const int before = finder.m_patterns.size();
        const std::string path = pictures::StepCycle(cycle.searching, cycle.tick, finder, kPattern, changeTimes);
        if (!path.empty())
            trace.push_back(path.substr(5) + "@" + std::to_string(cycle.tick));
        else if (static_cast<int>(finder.m_patterns.size()) != before)
            trace.push_back("restart@" + std::to_string(cycle.tick));
        else
            trace.push_back("-@" + std::to_string(cycle.tick));
    }
    return trace;
}

// A folder's listing, ChangeTimes and listings that fail to open, ticked.
struct CycleCase {
    std::vector<std::string> files;
    int changeTimes;
    int failOpens;  // after the first opening
    std::vector<std::string> trace;
};

class PictureCycleTest : public testing::TestWithParam<CycleCase> {};

TEST_P(PictureCycleTest, TakesEachFileInTurn)
{
    const CycleCase& c = GetParam();
    ScriptedFinder finder = Files(c.files);
    Cycle cycle;
    Open(cycle, finder);
    EXPECT_EQ(cycle.searching, !c.files.empty());
    EXPECT_EQ(cycle.tick, 100);
    finder.m_failOpens = c.failOpens;
    EXPECT_EQ(RunTicks(finder, cycle, 9, c.changeTimes), c.trace);
}

INSTANTIATE_TEST_SUITE_P(Folders, PictureCycleTest, testing::ValuesIn(std::vector<CycleCase>{
    {{"a.jpg", "b.jpg", "c.jpg"}, 1, 0,
     {"a.jpg@0", "-@1", "b.jpg@0", "-@1", "c.jpg@0", "-@1", "restart@100", "a.jpg@0", "-@1"}},
    {{"only.jpg"}, 2, 0, {"only.jpg@0", "-@1", "-@2", "restart@100", "only.jpg@0", "-@1", "-@2", "restart@100",
                          "only.jpg@0"}},
    {{}, 1, 0, {}},                                          // an empty folder stays closed
    {{"a.jpg"}, 1, 1, {"a.jpg@0", "-@1", "restart@100"}},   // a folder gone: closed for good
}));

TEST(PictureCycleChangeTest, LoweredChangeTimesChangesOnTheNextTick)
{
    ScriptedFinder finder = Files({"a.jpg", "b.jpg"});
    Cycle cycle;
    Open(cycle, finder);
    EXPECT_EQ(RunTicks(finder, cycle, 6, 50), (std::vector<std::string>{
        "a.jpg@0", "-@1", "-@2", "-@3", "-@4", "-@5"}));
    EXPECT_EQ(RunTicks(finder, cycle, 1, 3), (std::vector<std::string>{"b.jpg@0"}));
}

TEST(CacheFolderTest, KeepsSubFoldersOnly)
{
    ScriptedFinder finder({{".", true}, {"..", true}, {"AB12CD", true}, {"index.dat", false}, {"ZZ99", true}});
    EXPECT_EQ(pictures::ListCacheFolders(finder, "C:\\c\\Content.IE5\\*.*"),
              (std::vector<std::string>{"D:\\p\\AB12CD", "D:\\p\\ZZ99"}));
    EXPECT_EQ(finder.m_patterns, std::vector<std::string>{"C:\\c\\Content.IE5\\*.*"});
    EXPECT_FALSE(finder.HasNext());  // closed
}

TEST(CacheFolderTest, CandidateFilter)
{
    EXPECT_TRUE(pictures::IsCacheCandidate(true, "C:\\c\\AB12"));
    EXPECT_FALSE(pictures::IsCacheCandidate(true, "C:\\c\\."));
    EXPECT_FALSE(pictures::IsCacheCandidate(true, "C:\\c\\.."));
    EXPECT_FALSE(pictures::IsCacheCandidate(true, "C:\\c\\dots."));
    EXPECT_FALSE(pictures::IsCacheCandidate(false, "C:\\c\\file.dat"));
    EXPECT_FALSE(pictures::IsCacheCandidate(true, ""));
}

TEST(CacheFolderTest, PatternKeepsTheFolderAsItIs)
{
    EXPECT_EQ(pictures::PicturePattern("C:\\"), "C:\\\\*.jpg");
    EXPECT_EQ(pictures::PicturePattern("D:\\pictures"), "D:\\pictures\\*.jpg");
}

struct FitCase {
    pictures::Extent picture;
    int width;
    int height;
    pictures::Extent tile;
};

class FitTest : public testing::TestWithParam<FitCase> {};

TEST_P(FitTest, ToAThirdOfTheClient)
{
    const FitCase& c = GetParam();
    const pictures::Extent tile = pictures::FitToThird(c.picture, c.width, c.height);
    EXPECT_EQ(tile.cx, c.tile.cx);
    EXPECT_EQ(tile.cy, c.tile.cy);
}

INSTANTIATE_TEST_SUITE_P(Table, FitTest, testing::ValuesIn(std::vector<FitCase>{
    {{800, 600}, 1024, 768, {341, 255}},   // landscape: a third of the width
    {{600, 800}, 1024, 768, {192, 256}},   // portrait: a third of the height
    {{500, 500}, 1024, 768, {256, 256}},   // square counts as portrait
    {{640, 480}, 152, 112, {50, 37}},      // the preview
    {{20, 10}, 1920, 1080, {640, 320}},    // scaled up as well
    {{0, 0}, 1024, 768, {0, 0}},           // no extent: kept, no division by zero
    {{0, 50}, 1024, 768, {0, 50}},
    {{50, 0}, 1024, 768, {50, 0}},
}));

}  // namespace

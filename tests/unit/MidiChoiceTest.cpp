// The Velmora-mode choice of a MIDI file over a scripted cache and Windows' folder.
#include "saver/MidiChoice.h"

#include <gtest/gtest.h>

#include <map>

static const std::string kIE5 = "C:\\cache\\Content.IE5";

// Content.IE5 holds ".", "..", two sub-folders and a file; the test puts
// MIDI files (or folders so named) into them. Every folder entry is searched,
// in the listing's order, and one draw picks among all candidates. Without
// one, a MIDI file of Windows' Media folder plays.
TEST(MidiChoiceTest, OneDrawAmongTheFilesOfEveryFolder)
{
    std::map<std::string, std::vector<FolderEntry>> listings{
        {kIE5 + "\\*.*", {{kIE5 + "\\.", true}, {kIE5 + "\\..", true}, {kIE5 + "\\AB12", true},
                          {kIE5 + "\\index.dat", false}, {kIE5 + "\\CD34", true}}}};
    std::vector<std::string> patterns;
    int draws = 0;
    const auto choose = [&](int draw) {
        patterns.clear();
        draws = 0;
        return ChooseVelmoraMidi("C:\\cache", "C:\\WINDOWS", [&](const std::string& pattern) {
            patterns.push_back(pattern);
            return listings[pattern];
        }, [&] { return ++draws, draw; });
    };
    listings[kIE5 + "\\AB12\\*.mid"] = {{kIE5 + "\\AB12\\x.mid", true}};  // a folder plays nothing
    EXPECT_EQ(choose(3), "");
    EXPECT_EQ(draws, 0);
    EXPECT_EQ(patterns, (std::vector<std::string>{kIE5 + "\\*.*", kIE5 + "\\.\\*.mid", kIE5 + "\\..\\*.mid",
                                                  kIE5 + "\\AB12\\*.mid", kIE5 + "\\CD34\\*.mid",
                                                  "C:\\WINDOWS\\Media\\*.mid"}));
    listings["C:\\WINDOWS\\Media\\*.mid"] = {{"C:\\WINDOWS\\Media\\town.mid", false}};
    EXPECT_EQ(choose(3), "C:\\WINDOWS\\Media\\town.mid");
    listings[kIE5 + "\\..\\*.mid"] = {{kIE5 + "\\..\\above.mid", false}};
    listings[kIE5 + "\\CD34\\*.mid"] = {{kIE5 + "\\CD34\\a.mid", false}, {kIE5 + "\\CD34\\b.mid", false}};
    EXPECT_EQ(choose(0), kIE5 + "\\..\\above.mid");
    EXPECT_EQ(draws, 1);
    EXPECT_EQ(choose(5), kIE5 + "\\CD34\\b.mid");
    EXPECT_EQ(choose(2147483647), kIE5 + "\\CD34\\a.mid");
    listings.clear();  // no Content.IE5 at all, no Media folder
    EXPECT_EQ(choose(1), "");
}

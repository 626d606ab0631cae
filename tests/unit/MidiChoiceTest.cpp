// The Velmora-mode choice of a MIDI file over a cache and Windows' folder.
#include "saver/MidiChoice.h"
#include "tests/MemoryFiles.h"

#include <gtest/gtest.h>

static const std::string kIE5 = "C:\\cache\\Content.IE5";

// Content.IE5 holds two sub-folders and a file; the test puts MIDI files (or
// folders so named) into them. Content.IE5 itself, the cache folder above it
// and each sub-folder are searched, in that order, and one draw picks among
// all candidates. Without one, a MIDI file of Windows' Media folder plays.
TEST(MidiChoiceTest, OneDrawAmongTheFilesOfEveryFolder)
{
    MemoryFiles files;
    files.files = {{kIE5 + "\\AB12\\x.mid\\y", {}}, {kIE5 + "\\index.dat", {}}, {kIE5 + "\\CD34\\notes.txt", {}}};
    int draws = 0;
    const auto choose = [&](int draw) {
        draws = 0;
        return ChooseVelmoraMidi("C:\\cache", "C:\\WINDOWS", files, [&] { return ++draws, draw; });
    };
    EXPECT_EQ(choose(3), "");  // a folder named x.mid plays nothing
    EXPECT_EQ(draws, 0);
    files.files["C:\\WINDOWS\\Media\\town.mid"] = {};
    EXPECT_EQ(choose(3), "C:\\WINDOWS\\Media\\town.mid");
    files.files["C:\\cache\\above.MID"] = {};
    files.files[kIE5 + "\\CD34\\a.mid"] = {};
    files.files[kIE5 + "\\CD34\\b.mid"] = {};
    EXPECT_EQ(choose(0), "C:\\cache\\above.MID");
    EXPECT_EQ(draws, 1);
    EXPECT_EQ(choose(5), kIE5 + "\\CD34\\b.mid");
    EXPECT_EQ(choose(2147483647), kIE5 + "\\CD34\\a.mid");
    files.files.clear();  // no Content.IE5 at all, no Media folder
    EXPECT_EQ(choose(1), "");
}

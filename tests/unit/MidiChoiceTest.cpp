// The Velmora-mode choice of a MIDI file over a scripted cache.
#include "saver/MidiChoice.h"

#include <gtest/gtest.h>

#include <map>

namespace {

const std::string kCache = "C:\\cache";
const std::string kIE5 = kCache + "\\Content.IE5";

class MidiChoiceTest : public testing::Test {
protected:
    // The cache's Content.IE5 with ".", "..", two sub-folders and a file.
    MidiChoiceTest()
    {
        m_listings[kIE5 + "\\*.*"] = {{kIE5 + "\\.", true},
                                      {kIE5 + "\\..", true},
                                      {kIE5 + "\\AB12", true},
                                      {kIE5 + "\\index.dat", false},
                                      {kIE5 + "\\CD34", true}};
    }

    void Put(const std::string& folder, const std::vector<std::string>& files)
    {
        auto& listing = m_listings[folder + "\\*.mid"];
        for (const std::string& file : files)
            listing.push_back({folder + "\\" + file, false});
    }

    // The choice with a random source that answers draw, counting its draws.
    std::string Choose(int draw)
    {
        const ListFolder list = [this](const std::string& pattern) {
            m_patterns.push_back(pattern);
            const auto found = m_listings.find(pattern);
            return found == m_listings.end() ? std::vector<FolderEntry>{} : found->second;
        };
        return ChooseCacheMidi(kCache, list, [this, draw] { ++m_draws; return draw; });
    }

    std::map<std::string, std::vector<FolderEntry>> m_listings;
    std::vector<std::string> m_patterns;
    int m_draws = 0;
};

TEST_F(MidiChoiceTest, EveryFolderEntryIsSearchedInListingOrder)
{
    Choose(0);
    const std::vector<std::string> expected{kIE5 + "\\*.*", kIE5 + "\\.\\*.mid", kIE5 + "\\..\\*.mid",
                                            kIE5 + "\\AB12\\*.mid", kIE5 + "\\CD34\\*.mid"};
    EXPECT_EQ(m_patterns, expected);
}

TEST_F(MidiChoiceTest, SevenAmongThreeCandidatesPicksTheSecond)
{
    Put(kIE5 + "\\.", {"here.mid"});
    Put(kIE5 + "\\..", {"above.mid"});
    Put(kIE5 + "\\CD34", {"deep.mid"});
    EXPECT_EQ(Choose(7), kIE5 + "\\..\\above.mid");
    EXPECT_EQ(m_draws, 1);
}

TEST_F(MidiChoiceTest, DrawIsTakenModuloTheCandidates)
{
    Put(kIE5 + "\\AB12", {"a.mid", "b.mid"});
    Put(kIE5 + "\\CD34", {"c.mid"});
    EXPECT_EQ(Choose(0), kIE5 + "\\AB12\\a.mid");
    EXPECT_EQ(Choose(5), kIE5 + "\\CD34\\c.mid");
    EXPECT_EQ(Choose(2147483647), kIE5 + "\\AB12\\b.mid");
}

TEST_F(MidiChoiceTest, FolderNamedLikeAMidiFileIsNoCandidate)
{
    m_listings[kIE5 + "\\AB12\\*.mid"] = {{kIE5 + "\\AB12\\x.mid", true}};
    EXPECT_EQ(Choose(3), "");
    EXPECT_EQ(m_draws, 0);
    Put(kIE5 + "\\CD34", {"real.mid"});
    EXPECT_EQ(Choose(0), kIE5 + "\\CD34\\real.mid");
}

TEST_F(MidiChoiceTest, NoCandidateMeansNoChoiceAndNoDraw)
{
    EXPECT_EQ(Choose(3), "");
    m_listings.clear();  // no Content.IE5 at all
    EXPECT_EQ(Choose(3), "");
    EXPECT_EQ(m_draws, 0);
}

}  // namespace

#include "pictures/PictureSources.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

// Folders by path, their entries' names ("*" before a sub-folder's, "+" before
// a picture's; a file that vanished after its listing cannot be read, as a
// file that is no picture), listed as the file finder lists them.
using Tree = std::map<std::string, std::vector<std::string>>;

// The source that Velmora mode chooses under local application data L and
// the internet cache N, with a seed; the files it read go to `read`.
static std::string Choose(Tree tree, unsigned seed, std::vector<std::string>& read)
{
    const auto list = [&](const std::string& pattern) {
        const std::string folder = pattern.substr(0, pattern.size() - 2);
        std::vector<pictures::FolderEntry> entries{{folder + "\\.", true}, {folder + "\\..", true}};
        for (const std::string& name : tree[folder])
            entries.push_back({folder + "\\" + name.substr(name[0] == '*'), name[0] == '*'});
        return entries;
    };
    read.clear();
    return pictures::ChooseSource(pictures::ListSources("L", "N", list), seed, list, [&](const std::string& path) {
        return read.push_back(path), path.find('+') != std::string::npos;
    });
}

// Whatever the seed, the source chosen among every profile of every browser
// and the internet cache's containers is one that holds a picture, read file
// by file until the first; either of two with pictures is as likely.
TEST(PictureSourcesTest, ChoosesASourceThatHoldsAPicture)
{
    const std::string chrome = "L\\Google\\Chrome\\User Data", profile1 = chrome + "\\Profile 1\\Cache\\Cache_Data",
                      firefox = "L\\Mozilla\\Firefox\\Profiles\\x1.default\\cache2\\entries";
    const std::pair<Tree, std::string> cases[] = {
        {{{chrome, {"*Default", "*Profile 1", "Local State"}}, {chrome + "\\Default\\Cache\\Cache_Data", {"f_1"}},
          {profile1, {"data_0", "f_1", "+f_2", "+f_3", "index"}}, {"N\\Content.IE5", {"*OLD1"}}},
         profile1},  // beside a cache of scripts and an empty legacy folder
        {{{"L\\Microsoft\\Edge\\User Data", {"*Default"}}, {"L\\Mozilla\\Firefox\\Profiles", {"*x1.default"}},
          {"L\\Microsoft\\Edge\\User Data\\Default\\Cache\\Cache_Data", {"f_1"}}, {firefox, {"0A1B", "+9E8F"}}},
         firefox},
        {{{"L\\Vivaldi\\User Data", {"*Default"}}, {"N\\IE", {"*A1B2", "c.dat"}}, {"N\\IE\\A1B2", {"+a[1].png"}},
          {"N\\Content.IE5", {"*OLD1", "index.dat"}}, {"N\\Content.IE5\\OLD1", {"gone[1].jpg", "*+x.jpg"}}},
         "N\\IE\\A1B2"},  // a picture that vanished, a sub-folder named as one
        {{{"N\\Content.IE5", {"*OLD1"}}, {"N\\Content.IE5\\OLD1", {"+a[1].jpg"}}}, "N\\Content.IE5\\OLD1"},
        {{{"L\\BraveSoftware\\Brave-Browser\\User Data", {"*Default"}}, {chrome, {"*Default"}}}, ""},
    };
    std::vector<std::string> read;
    for (const auto& [tree, chosen] : cases)
        for (unsigned seed = 0; seed < 8; ++seed) {
            EXPECT_EQ(Choose(tree, seed, read), chosen) << seed;
            EXPECT_TRUE(chosen != profile1 || read.back() == profile1 + "\\+f_2") << seed;
        }
    const Tree two{{"N\\IE", {"*A", "*B", "*C", "*D"}}, {"N\\IE\\C", {"+c"}}, {"N\\IE\\D", {"+d"}}};
    int first = 0;
    for (unsigned seed = 0; seed < 300; ++seed)
        first += Choose(two, seed, read) == "N\\IE\\C";
    EXPECT_TRUE(first > 120 && first < 180) << first;
}

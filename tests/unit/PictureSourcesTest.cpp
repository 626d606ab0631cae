#include "pictures/PictureSources.h"
#include "tests/MemoryFiles.h"

#include <gtest/gtest.h>

// Every profile of every browser, and the internet cache's containers, in
// that order; a browser's files beside its profiles are no profiles.
TEST(PictureSourcesTest, ListsEveryProfileOfEveryBrowser)
{
    MemoryFiles files;
    for (const char* path : {"L\\Google\\Chrome\\User Data\\Default\\x", "L\\Google\\Chrome\\User Data\\Local State",
                             "L\\Google\\Chrome\\User Data\\Profile 1\\x", "L\\Vivaldi\\User Data\\Default\\x",
                             "L\\Mozilla\\Firefox\\Profiles\\x1.default\\x", "N\\IE\\A1B2\\a[1].png", "N\\IE\\c.dat",
                             "N\\Content.IE5\\OLD1\\x", "N\\Content.IE5\\index.dat"})
        files.files[path] = {};
    EXPECT_EQ(pictures::ListSources("L", "N", files),
              (std::vector<std::string>{"L\\Google\\Chrome\\User Data\\Default\\Cache\\Cache_Data",
                                        "L\\Google\\Chrome\\User Data\\Profile 1\\Cache\\Cache_Data",
                                        "L\\Vivaldi\\User Data\\Default\\Cache\\Cache_Data",
                                        "L\\Mozilla\\Firefox\\Profiles\\x1.default\\cache2\\entries", "N\\IE\\A1B2",
                                        "N\\Content.IE5\\OLD1"}));
    EXPECT_EQ(pictures::ListSources("", "", files), std::vector<std::string>());
}

// A seed gives one order, the same every time; over seeds each source comes
// first as often as any other.
TEST(PictureSourcesTest, ShufflesFairly)
{
    const std::vector<std::string> sources{"A", "B", "C", "D"};
    EXPECT_EQ(pictures::ShuffleSources(sources, 7), pictures::ShuffleSources(sources, 7));
    int first[4] = {};
    for (unsigned seed = 0; seed < 400; ++seed)
        ++first[pictures::ShuffleSources(sources, seed).front()[0] - 'A'];
    for (const int count : first)
        EXPECT_TRUE(count > 70 && count < 130) << count;
}

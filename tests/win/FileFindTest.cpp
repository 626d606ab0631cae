// The folder listing on the real file system.
#include "fw/FileFind.h"
#include "tests/win/WinTest.h"

#include <algorithm>
#include <vector>

namespace {

struct Entry {
    std::string path;
    bool folder;
    bool operator==(const Entry& other) const { return path == other.path && folder == other.folder; }
};

// Every entry of a listing, sorted, as FindNextFile steps onto them; checks
// that only the last step answers FALSE.
std::vector<Entry> ListAll(const std::string& pattern)
{
    std::vector<Entry> entries;
    CFileFind finder;
    if (!finder.FindFile(pattern.c_str()))
        return entries;
    BOOL more = TRUE;
    while (more) {
        EXPECT_TRUE(finder.HasNext());
        more = finder.FindNextFile();
        entries.push_back({finder.GetFilePath(), finder.MatchesMask(FILE_ATTRIBUTE_DIRECTORY) != 0});
    }
    EXPECT_FALSE(finder.HasNext());
    EXPECT_FALSE(finder.FindNextFile());  // nothing left: the last entry stays
    EXPECT_EQ(finder.GetFilePath(), entries.back().path);
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.path < b.path; });
    return entries;
}

class FileFindTest : public testing::Test {
protected:
    void SetUp() override
    {
        WriteFileBytes(m_folder.File("a.jpg"), "a");
        WriteFileBytes(m_folder.File("B.JPG"), "b");
        WriteFileBytes(m_folder.File("notes.txt"), "c");
        ASSERT_TRUE(::CreateDirectoryA(m_folder.File("sub").c_str(), nullptr));
    }

    ScratchFolder m_folder;
};

TEST_F(FileFindTest, MatchesWithoutRegardToCase)
{
    const std::vector<Entry> expected{{m_folder.File("B.JPG"), false}, {m_folder.File("a.jpg"), false}};
    EXPECT_EQ(ListAll(m_folder.File("*.jpg")), expected);
}

TEST_F(FileFindTest, FoldersAndDotEntriesAreMarked)
{
    const std::vector<Entry> expected{
        {m_folder.File("."), true},          {m_folder.File(".."), true},     {m_folder.File("B.JPG"), false},
        {m_folder.File("a.jpg"), false},     {m_folder.File("notes.txt"), false}, {m_folder.File("sub"), true},
    };
    EXPECT_EQ(ListAll(m_folder.File("*.*")), expected);
}

TEST_F(FileFindTest, SecondBackslashBeforeThePatternIsAccepted)
{
    const std::vector<Entry> expected{{m_folder.Path() + "\\\\a.jpg", false}};
    EXPECT_EQ(ListAll(m_folder.Path() + "\\\\a.*"), expected);
}

TEST_F(FileFindTest, NothingToListOpensNothing)
{
    CFileFind finder;
    EXPECT_FALSE(finder.FindFile(m_folder.File("*.mid").c_str()));
    EXPECT_FALSE(finder.FindFile(m_folder.File("missing\\*.jpg").c_str()));
    EXPECT_FALSE(finder.FindFile(nullptr));
    EXPECT_FALSE(finder.HasNext());
    EXPECT_FALSE(finder.FindNextFile());
}

}  // namespace

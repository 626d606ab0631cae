// The profile functions on a real INI file, as the platform reads and writes it.
#include "app/Settings.h"
#include "tests/win/WinTest.h"

namespace {

class ProfileTest : public testing::Test {
protected:
    void SetUp() override { UseProfile(m_ini); }

    ScratchFolder m_folder;
    std::string m_ini = m_folder.File("vlm.ini");
};

TEST_F(ProfileTest, DefaultsWhenTheFileIsAbsent)
{
    EXPECT_EQ(TestApp().GetProfileInt("Config", "Speed", 50), 50u);
    EXPECT_EQ(static_cast<int>(TestApp().GetProfileInt("Config", "Speed", -3)), -3);
    EXPECT_EQ(TestApp().GetProfileString("Config", "Folder", "C:\\"), "C:\\");
    EXPECT_EQ(ReadFileBytes(m_ini), "");  // reading makes no file
}

TEST_F(ProfileTest, SectionAndKeysIgnoreCase)
{
    WriteFileBytes(m_ini, "[config]\r\nSPEED=77\r\nfolder=D:\\pics\r\n");
    EXPECT_EQ(TestApp().GetProfileInt("Config", "Speed", 50), 77u);
    EXPECT_EQ(TestApp().GetProfileString("Config", "Folder", "C:\\"), "D:\\pics");
}

TEST_F(ProfileTest, EmptyValueReadsBackEmpty)
{
    WriteFileBytes(m_ini, "[Config]\r\nFolder=\r\n");
    EXPECT_EQ(TestApp().GetProfileString("Config", "Folder", "C:\\"), "");
    EXPECT_EQ(TestApp().GetProfileString("Config", "Midi", "C:\\"), "C:\\");
}

TEST_F(ProfileTest, NegativeNumbersReadAsSignedInts)
{
    WriteFileBytes(m_ini, "[Config]\r\nSpeed=-1\r\nResolution=junk\r\n");
    EXPECT_EQ(static_cast<int>(TestApp().GetProfileInt("Config", "Speed", 50)), -1);
    EXPECT_EQ(TestApp().GetProfileInt("Config", "Resolution", 10), 0u);
}

TEST_F(ProfileTest, DefaultsWrittenInOrderMakeTheSampleFile)
{
    using namespace settings;
    CWinApp& app = TestApp();
    app.WriteProfileInt(kSection, kResolution.key, kResolution.fallback);
    app.WriteProfileInt(kSection, kSpeed.key, kSpeed.fallback);
    app.WriteProfileInt(kSection, kChangeTimes.key, kChangeTimes.fallback);
    app.WriteProfileString(kSection, kFolder.key, kFolder.fallback);
    app.WriteProfileString(kSection, kMidi.key, kMidi.fallback);
    app.WriteProfileInt(kSection, kVelmoraMode.key, kVelmoraMode.fallback);
    app.WriteProfileInt(kSection, kAdjustPictureSize.key, kAdjustPictureSize.fallback);
    EXPECT_EQ(ReadFileBytes(m_ini),
              "[Config]\r\nResolution=10\r\nSpeed=50\r\nChangeTimes=50\r\nFolder=C:\\\r\nMidi=C:\\\r\n"
              "VelmoraMode=1\r\nAdjustPictureSize=1\r\n");
}

TEST_F(ProfileTest, WritesReplaceInPlaceAndKeepOtherLines)
{
    WriteFileBytes(m_ini, "; mine\r\n[Other]\r\nx=1\r\n[Config]\r\nSpeed=3\r\nResolution=4\r\n");
    TestApp().WriteProfileInt("Config", "Speed", -12);
    TestApp().WriteProfileString("Config", "Folder", "");
    EXPECT_EQ(ReadFileBytes(m_ini),
              "; mine\r\n[Other]\r\nx=1\r\n[Config]\r\nSpeed=-12\r\nResolution=4\r\nFolder=\r\n");
    EXPECT_EQ(TestApp().GetProfileString("Config", "Folder", "C:\\"), "");
}

TEST_F(ProfileTest, LongValuesAreReadWhole)
{
    const std::string folder = "C:\\" + std::string(3000, 'f');
    WriteFileBytes(m_ini, "[Config]\r\nFolder=" + folder + "\r\n");
    EXPECT_EQ(TestApp().GetProfileString("Config", "Folder", "C:\\"), folder);
}

TEST_F(ProfileTest, IntegersWriteAsSignedDecimal)
{
    TestApp().WriteProfileInt("Config", "A", INT_MIN);
    TestApp().WriteProfileInt("Config", "B", INT_MAX);
    TestApp().WriteProfileInt("Config", "C", 0);
    EXPECT_EQ(ReadFileBytes(m_ini), "[Config]\r\nA=-2147483648\r\nB=2147483647\r\nC=0\r\n");
}

}  // namespace

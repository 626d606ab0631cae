// The music's device states, over a script of the platform's answers.
#include "saver/Music.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr unsigned kDevice = 7;

// Records each command as "name device" and answers 0 unless told otherwise.
class ScriptedCommands : public MciCommands {
public:
    unsigned long Open(const char* path, unsigned& deviceId) override
    {
        deviceId = kDevice;
        return Answer(std::string("open ") + path);
    }
    unsigned long SeekToStart(unsigned deviceId) override { return Answer("seek", deviceId); }
    unsigned long Play(unsigned deviceId) override { return Answer("play", deviceId); }
    unsigned long Stop(unsigned deviceId) override { return Answer("stop", deviceId); }
    unsigned long Close(unsigned deviceId) override { return Answer("close", deviceId); }

    // The answer of every later command of that name (296 is MCIERR_INVALID_FILE).
    void Fail(const std::string& name, unsigned long result = 296) { m_results[name] = result; }
    void Succeed(const std::string& name) { m_results.erase(name); }
    // The commands since the last call.
    std::vector<std::string> Take() { return std::exchange(m_log, {}); }

private:
    unsigned long Answer(const std::string& name, unsigned deviceId)
    {
        return Answer(name + " " + std::to_string(deviceId));
    }
    unsigned long Answer(const std::string& entry)
    {
        m_log.push_back(entry);
        const auto found = m_results.find(entry.substr(0, entry.find(' ')));
        return found == m_results.end() ? 0 : found->second;
    }

    std::map<std::string, unsigned long> m_results;
    std::vector<std::string> m_log;
};

using Commands = std::vector<std::string>;

class MusicTest : public testing::Test {
protected:
    // Opens a.mid and plays it; the device is then playing.
    void StartPlaying()
    {
        ASSERT_TRUE(m_music.OpenMusic("a.mid"));
        ASSERT_TRUE(m_music.PlayMusic());
        ASSERT_EQ(m_device.Take(), (Commands{"open a.mid", "seek 7", "play 7"}));
    }
    void ExpectState(bool open, bool playing)
    {
        EXPECT_EQ(m_music.IsOpen(), open);
        EXPECT_EQ(m_music.IsPlaying(), playing);
    }

    ScriptedCommands m_device;
    CMusic m_music{m_device};
};

TEST_F(MusicTest, ClosedDeviceSendsNothing)
{
    EXPECT_FALSE(m_music.RewindMusic());
    EXPECT_FALSE(m_music.PlayMusic());
    EXPECT_TRUE(m_music.StopMusic());
    EXPECT_TRUE(m_music.CloseMusic());
    EXPECT_FALSE(m_music.OpenMusic(nullptr));
    m_music.OnMciNotify(CMusic::kNotifySuccessful);
    EXPECT_EQ(m_device.Take(), Commands{});
    ExpectState(false, false);
}

TEST_F(MusicTest, FailedOpenStaysClosed)
{
    m_device.Fail("open", 275);  // MCIERR_FILE_NOT_FOUND
    EXPECT_FALSE(m_music.OpenMusic("C:\\"));
    ExpectState(false, false);
    EXPECT_EQ(m_music.GetPath(), "C:\\");
    EXPECT_FALSE(m_music.PlayMusic());
    EXPECT_EQ(m_device.Take(), Commands{"open C:\\"});
}

TEST_F(MusicTest, OpenWhileOpenKeepsTheFirstFile)
{
    StartPlaying();
    EXPECT_TRUE(m_music.OpenMusic("b.mid"));
    EXPECT_EQ(m_music.GetPath(), "a.mid");
    EXPECT_EQ(m_device.Take(), Commands{});
    ExpectState(true, true);
}

TEST_F(MusicTest, PlayingDeviceIsNeitherRewoundNorStartedAgain)
{
    StartPlaying();
    EXPECT_TRUE(m_music.RewindMusic());
    EXPECT_TRUE(m_music.PlayMusic());
    EXPECT_EQ(m_device.Take(), Commands{});
}

TEST_F(MusicTest, FailedPlayLeavesItOpenAndStopped)
{
    ASSERT_TRUE(m_music.OpenMusic("a.mid"));
    m_device.Fail("seek");  // a refused seek does not stop the play
    m_device.Fail("play");
    EXPECT_FALSE(m_music.RewindMusic());
    EXPECT_FALSE(m_music.PlayMusic());
    ExpectState(true, false);
    EXPECT_EQ(m_device.Take(), (Commands{"open a.mid", "seek 7", "seek 7", "play 7"}));
}

TEST_F(MusicTest, FailedStopLeavesItPlayingAndEndsTheLoop)
{
    StartPlaying();
    m_device.Fail("stop");
    EXPECT_FALSE(m_music.StopMusic());
    ExpectState(true, true);
    m_music.OnMciNotify(CMusic::kNotifySuccessful);  // stop fails, play believes it runs
    EXPECT_EQ(m_device.Take(), (Commands{"stop 7", "stop 7"}));
}

TEST_F(MusicTest, CloseStopsFirst)
{
    StartPlaying();
    EXPECT_TRUE(m_music.CloseMusic());
    ExpectState(false, false);
    EXPECT_EQ(m_device.Take(), (Commands{"stop 7", "close 7"}));
}

TEST_F(MusicTest, FailedCloseLeavesItOpenAsTheStopLeftIt)
{
    StartPlaying();
    m_device.Fail("close");
    EXPECT_FALSE(m_music.CloseMusic());
    ExpectState(true, false);
    m_device.Succeed("close");
    EXPECT_TRUE(m_music.CloseMusic());
    EXPECT_EQ(m_device.Take(), (Commands{"stop 7", "close 7", "close 7"}));
}

// MM_MCINOTIFY codes: only a play that reached its end starts again.
class MusicNotifyTest : public MusicTest, public testing::WithParamInterface<std::pair<unsigned long, Commands>> {};

TEST_P(MusicNotifyTest, OnlyTheEndOfTheFileRestartsIt)
{
    StartPlaying();
    m_music.OnMciNotify(GetParam().first);
    EXPECT_EQ(m_device.Take(), GetParam().second);
    ExpectState(true, true);
}

INSTANTIATE_TEST_SUITE_P(Codes, MusicNotifyTest,
                         testing::Values(std::make_pair(1ul, Commands{"stop 7", "seek 7", "play 7"}),  // successful
                                         std::make_pair(2ul, Commands{}),                              // superseded
                                         std::make_pair(4ul, Commands{}),                              // aborted
                                         std::make_pair(8ul, Commands{})));                            // failure

}  // namespace

// The background music of the full-screen window: the MCI commands exactly as
// sent (through a recording sender), and the real sequencer with a real MIDI
// file and with files it cannot play.
#include "saver/SaverWnd.h"
#include "tests/win/Corpus.h"
#include "tests/win/WinTest.h"

#include <cstdio>
#include <vector>

namespace {

// One command as the sender saw it, with the members of its record.
struct Sent {
    MCIDEVICEID device;
    UINT message;
    DWORD_PTR flags;
    DWORD_PTR callback;
    std::string type;     // MCI_OPEN only
    std::string element;  // MCI_OPEN only
    DWORD_PTR from = 0;   // MCI_SEEK: dwTo; MCI_PLAY: dwFrom
    DWORD_PTR to = 0;     // MCI_PLAY: dwTo
};

std::vector<Sent> g_sent;

MCIERROR WINAPI Record(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parms)
{
    Sent sent{device, message, flags, reinterpret_cast<MCI_GENERIC_PARMS*>(parms)->dwCallback, "", ""};
    switch (message) {
    case MCI_OPEN: {
        auto* open = reinterpret_cast<MCI_OPEN_PARMSA*>(parms);
        EXPECT_EQ(open->wDeviceID, 0u);
        EXPECT_EQ(open->lpstrAlias, nullptr);
        sent.type = open->lpstrDeviceType;
        sent.element = open->lpstrElementName;
        open->wDeviceID = 42;
        g_sent.push_back(sent);
        return 0;
    }
    case MCI_SEEK:
        sent.from = reinterpret_cast<MCI_SEEK_PARMS*>(parms)->dwTo;
        break;
    case MCI_PLAY:
        sent.from = reinterpret_cast<MCI_PLAY_PARMS*>(parms)->dwFrom;
        sent.to = reinterpret_cast<MCI_PLAY_PARMS*>(parms)->dwTo;
        break;
    }
    g_sent.push_back(sent);
    return 0;
}

// The window's music state, which only the window itself can see.
class MusicProbe : public CSaverWnd {
public:
    using CSaverWnd::CSaverWnd;
    const CMusic& Music() const { return m_music; }
};

class MusicTest : public testing::Test {
protected:
    void SetUp() override
    {
        UseProfile(m_folder.File("vlm.ini"));
        g_sent.clear();
    }
    void TearDown() override { Destroy(); }

    void WriteSettings(const std::string& lines) { WriteFileBytes(m_folder.File("vlm.ini"), "[Config]\r\n" + lines); }

    // A hidden full-screen window; its creation chooses and starts the music.
    MusicProbe* Create(CSequencer::SendCommand send = Record)
    {
        m_wnd = new MusicProbe(send);
        EXPECT_TRUE(m_wnd->Create(0, WS_POPUP, RECT{0, 0, 320, 240}, nullptr));
        m_hWnd = m_wnd->m_hWnd;
        return m_wnd;
    }
    void Destroy()
    {
        if (::IsWindow(m_hWnd))
            ::DestroyWindow(m_hWnd);
        PumpMessages();
        m_hWnd = nullptr;
    }
    // The messages of the commands sent since the last call.
    std::vector<UINT> TakeMessages()
    {
        std::vector<UINT> messages;
        for (const Sent& sent : g_sent)
            messages.push_back(sent.message);
        g_sent.clear();
        return messages;
    }

    ScratchFolder m_folder;
    MusicProbe* m_wnd = nullptr;
    HWND m_hWnd = nullptr;
};

using Messages = std::vector<UINT>;

TEST_F(MusicTest, CommandsCarryExactlyTheirRecordsAndFlags)
{
    WriteSettings("VelmoraMode=0\r\nMidi=D:\\music\\song.mid\r\n");
    Create();
    const auto callback = reinterpret_cast<DWORD_PTR>(m_hWnd);
    ASSERT_EQ(g_sent.size(), 3u);
    const Sent& open = g_sent[0];
    EXPECT_EQ(open.device, 0u);
    EXPECT_EQ(open.message, static_cast<UINT>(MCI_OPEN));
    EXPECT_EQ(open.flags, static_cast<DWORD_PTR>(0x2200));  // MCI_OPEN_TYPE | MCI_OPEN_ELEMENT
    EXPECT_EQ(open.type, "sequencer");
    EXPECT_EQ(open.element, "D:\\music\\song.mid");
    const Sent& seek = g_sent[1];
    EXPECT_EQ(seek.message, static_cast<UINT>(MCI_SEEK));
    EXPECT_EQ(seek.flags, static_cast<DWORD_PTR>(MCI_SEEK_TO_START));
    EXPECT_EQ(seek.from, 0u);
    const Sent& play = g_sent[2];
    EXPECT_EQ(play.message, static_cast<UINT>(MCI_PLAY));
    EXPECT_EQ(play.flags, static_cast<DWORD_PTR>(MCI_NOTIFY));
    EXPECT_EQ(play.from, 0u);
    EXPECT_EQ(play.to, 0u);
    for (const Sent& sent : g_sent) {
        EXPECT_EQ(sent.callback, callback);
        EXPECT_EQ(sent.flags & MCI_WAIT, 0u);
    }
    for (size_t i = 1; i < g_sent.size(); ++i)
        EXPECT_EQ(g_sent[i].device, 42u);
    g_sent.clear();

    Destroy();
    ASSERT_EQ(g_sent.size(), 2u);
    EXPECT_EQ(g_sent[0].message, static_cast<UINT>(MCI_STOP));
    EXPECT_EQ(g_sent[1].message, static_cast<UINT>(MCI_CLOSE));
    for (const Sent& sent : g_sent) {
        EXPECT_EQ(sent.device, 42u);
        EXPECT_EQ(sent.flags, 0u);
        EXPECT_EQ(sent.callback, callback);
    }
}

TEST_F(MusicTest, NotificationOfTheEndPlaysAgain)
{
    WriteSettings("VelmoraMode=0\r\nMidi=D:\\song.mid\r\n");
    Create();
    TakeMessages();
    ::SendMessageA(m_hWnd, MM_MCINOTIFY, MCI_NOTIFY_ABORTED, 42);
    ::SendMessageA(m_hWnd, MM_MCINOTIFY, MCI_NOTIFY_SUPERSEDED, 42);
    EXPECT_EQ(TakeMessages(), Messages{});
    ::SendMessageA(m_hWnd, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 42);
    EXPECT_EQ(TakeMessages(), (Messages{MCI_STOP, MCI_SEEK, MCI_PLAY}));
}

TEST_F(MusicTest, EmptyMidiSettingOpensNothing)
{
    WriteSettings("VelmoraMode=0\r\nMidi=\r\n");
    Create();
    EXPECT_EQ(TakeMessages(), Messages{});
}

// The platform's own sequencer. Without a MIDI output device Wine's still
// accepts a real file and reads as playing; whatever it answers, the window
// runs on.
class RealMusicTest : public MusicTest {
protected:
    // A window with the real sequencer over a Midi setting; it must keep
    // animating (its timer ticks) whatever the device made of the file.
    const CMusic& Start(const std::string& midi)
    {
        WriteSettings("VelmoraMode=0\r\nSpeed=110\r\nMidi=" + midi + "\r\n");
        MusicProbe* wnd = Create(::mciSendCommandA);
        PumpFor(300);
        EXPECT_TRUE(::IsWindow(m_hWnd));
        return wnd->Music();
    }
    static void PumpFor(DWORD ms)
    {
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < ms) {
            PumpMessages();
            ::Sleep(10);
        }
    }
};

TEST_F(RealMusicTest, MidiFileOpensAndPlays)
{
    const std::string midi = CorpusFile("rec1.mid");
    ASSERT_NE(::GetFileAttributesA(midi.c_str()), INVALID_FILE_ATTRIBUTES) << midi;
    const CMusic& music = Start(midi);
    std::printf("[ platform ] midiOutGetNumDevs %u; rec1.mid: open %d, playing %d\n", ::midiOutGetNumDevs(),
                music.IsOpen(), music.IsPlaying());
    EXPECT_TRUE(music.IsOpen());
    EXPECT_TRUE(music.IsPlaying());
}

TEST_F(RealMusicTest, UnplayablePathsLeaveItSilentAndRunning)
{
    WriteFileBytes(m_folder.File("text.mid"), "this is no MIDI file\r\n");
    WriteFileBytes(m_folder.File("empty.mid"), "");
    ::CreateDirectoryA(m_folder.File("x.mid").c_str(), nullptr);
    for (const std::string& path : {std::string("C:\\"), m_folder.File("missing.mid"), m_folder.File("text.mid"),
                                    m_folder.File("empty.mid"), m_folder.File("x.mid"),
                                    "C:\\" + std::string(10000, 'm') + ".mid"}) {
        const CMusic& music = Start(path);
        EXPECT_FALSE(music.IsOpen()) << path;
        EXPECT_FALSE(music.IsPlaying()) << path;
        Destroy();
    }
}

}  // namespace

// The background music of the full-screen window: the MCI commands exactly as
// sent, through a recording sender.
#include "saver/SaverWnd.h"
#include "tests/win/WinTest.h"

#include <cstdio>
#include <utility>
#include <vector>

using Lines = std::vector<std::string>;
static Lines g_sent;

// Each command as the device would read it, its record member by member.
static MCIERROR WINAPI Record(MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR parms)
{
    char line[600];
    const auto callback = reinterpret_cast<HWND>(reinterpret_cast<MCI_GENERIC_PARMS*>(parms)->dwCallback);
    const int head = std::snprintf(line, sizeof line, "%04x %u %llx %s", message, device,
                                   static_cast<unsigned long long>(flags), ::IsWindow(callback) ? "window" : "none");
    if (message == MCI_OPEN) {
        auto* open = reinterpret_cast<MCI_OPEN_PARMSA*>(parms);
        std::snprintf(line + head, sizeof line - head, " %u %s %s%s", open->wDeviceID, open->lpstrDeviceType,
                      open->lpstrElementName, open->lpstrAlias != nullptr ? " alias" : "");
        open->wDeviceID = 42;
    } else if (message == MCI_SEEK) {
        std::snprintf(line + head, sizeof line - head, " to %lu", reinterpret_cast<MCI_SEEK_PARMS*>(parms)->dwTo);
    } else if (message == MCI_PLAY) {
        auto* play = reinterpret_cast<MCI_PLAY_PARMS*>(parms);
        std::snprintf(line + head, sizeof line - head, " from %lu to %lu", play->dwFrom, play->dwTo);
    }
    g_sent.push_back(line);
    return 0;
}

// A hidden full-screen window over the settings, its tile in sight; its
// creation chooses and starts the music. The commands sent since the last call.
struct Watched : CSaverWnd {
    Watched() : CSaverWnd(Record) {}
    using CSaverWnd::m_nPosX;
};
static HWND Create(const ScratchFolder& folder, const std::string& settings)
{
    WriteFileBytes(folder.File("vlm.ini"), "[Config]\r\n" + settings);
    UseProfile(folder.File("vlm.ini"));
    auto* wnd = new Watched;
    EXPECT_TRUE(wnd->Create(0, WS_POPUP, RECT{0, 0, 320, 240}, nullptr));
    return wnd->m_hWnd;
}
static Lines Sent() { return std::exchange(g_sent, {}); }

// Open with type and element, seek to the start, play with a notification to
// the window; again when the play reached its end. While the display is off
// the tile stops (no ticks: no frames, no pictures) and the device is given
// back, stopped and closed; on, both come back; dimmed, nothing stops (the
// state comes by pointer, as the system sends it). Stop and close at the end.
// An empty Midi plays nothing; a long one is read whole, and one that an older
// version wrote in the system's code page is read in UTF-8. (Velmora mode's
// music: the native tables, and on caches of real browsers tests/e2e.)
TEST(MusicTest, CommandsCarryExactlyTheirRecords)
{
    ScratchFolder folder;
    const Lines play{"0803 0 2200 window 0 sequencer D:\\music\\song.mid", "0807 42 100 window to 0",
                     "0806 42 1 window from 0 to 0"};
    const Lines close{"0808 42 0 window", "0804 42 0 window"};
    HWND hWnd = Create(folder, "VelmoraMode=0\r\nSpeed=100\r\nMidi=D:\\music\\song.mid\r\n");
    EXPECT_EQ(Sent(), play);
    ::SendMessageA(hWnd, MM_MCINOTIFY, MCI_NOTIFY_SUCCESSFUL, 42);
    EXPECT_EQ(Sent(), (Lines{"0808 42 0 window", play[1], play[2]}));
    // Whether the tile moves after the display's change: where it must rest,
    // 300 ms is six ticks; where it must move, a slow machine gets ten seconds.
    const auto display = [&](DWORD state) {
        struct {
            GUID setting;
            DWORD length, state;
        } change{{0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}}, 4, state};
        ::SendMessageA(hWnd, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, reinterpret_cast<LPARAM>(&change));
        const int& x = static_cast<Watched*>(CWnd::FromHandlePermanent(hWnd))->m_nPosX;
        const int from = x;
        bool moved = false;
        for (const DWORD until = ::GetTickCount() + (state == 0 ? 300 : 10000); !moved && ::GetTickCount() < until;
             ::Sleep(10)) {
            PumpMessages();
            moved = x != from;
        }
        return moved;
    };
    EXPECT_FALSE(display(0));
    EXPECT_EQ(Sent(), close);
    EXPECT_TRUE(display(1));
    EXPECT_EQ(Sent(), play);
    EXPECT_TRUE(display(2));
    EXPECT_EQ(Sent(), Lines{});
    ::DestroyWindow(hWnd);
    EXPECT_EQ(Sent(), close);
    ::DestroyWindow(Create(folder, "VelmoraMode=0\r\nMidi=\r\n"));
    EXPECT_EQ(Sent(), Lines{});

    const std::string midi = "D:\\" + std::string(300, 's') + ".mid";  // longer than a path: read whole
    for (const auto& [stored, read] : {std::pair{midi, midi}, {"D:\\Caf\xE9.mid", "D:\\Caf\xC3\xA9.mid"}}) {
        ::DestroyWindow(Create(folder, "VelmoraMode=0\r\nMidi=" + stored + "\r\n"));  // in code page 1252
        const Lines sent = Sent();
        EXPECT_TRUE(!sent.empty() && sent[0].find(" " + read) != std::string::npos) << read;
    }
    PumpMessages();
}

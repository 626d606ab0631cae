// The window of the full-screen run: above every other window, over every
// display, with the cursor hidden. It is the slide view of the first display
// (the primary) and holds a slide view for each further one, so that each
// display shows the saver as a display of its size on its own would; the
// views take turns at loading pictures and show different ones. The first
// sign of the user (a key, a mouse button, a move of the mouse, the loss of
// activation) closes it, and with it the process. While it runs, a MIDI file
// plays in a loop: in Velmora mode one found in the browser's cache, or else
// one of Windows' own, else the Midi setting. While the display is off,
// everything rests.
#pragma once

#include "fw/Power.h"
#include "saver/Displays.h"
#include "saver/MouseGuard.h"
#include "saver/Music.h"
#include "saver/Sequencer.h"
#include "view/SlideView.h"

#include <memory>
#include <vector>

class CSaverWnd : public CSlideView {
public:
    // Tests hand in their own MCI sender; the program uses mciSendCommandA.
    explicit CSaverWnd(CSequencer::SendCommand send = CSequencer::SendMciCommand);
    ~CSaverWnd() override;

    // Creates the visible, top-most window over every display. FALSE when it could
    // not be created; the object has then deleted itself.
    BOOL CreateFullScreen();

protected:
    RECT GetViewRect() const override;

    // The decoding thread's doorbell for the music: its file was chosen.
    static constexpr UINT WM_MUSIC_FOUND = WM_APP + 2;

    int OnCreate(LPCREATESTRUCTA lpCreateStruct);
    LRESULT OnMusicFound(WPARAM wParam, LPARAM lParam);
    LRESULT OnMciNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnPowerBroadcast(WPARAM wParam, LPARAM lParam);
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnDestroy();
    BOOL OnSetCursor(HWND hWnd, UINT nHitTest, UINT message);
    BOOL OnNcActivate(BOOL bActive);
    void OnActivate(UINT nState, HWND hWndOther, BOOL bMinimized);
    void OnActivateApp(BOOL bActive, DWORD dwThreadID);
    void OnMouseMove(UINT nFlags, POINT point);
    void OnLButtonDown(UINT nFlags, POINT point);
    void OnMButtonDown(UINT nFlags, POINT point);
    void OnRButtonDown(UINT nFlags, POINT point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

    // Input only posts WM_CLOSE: the window closes once the handler is done.
    void Close() { PostMessage(WM_CLOSE); }

    // The file to play: the Midi setting's, or in Velmora mode one that the
    // decoding thread finds in the caches' folders (listing them there).
    void ChooseMidi(BOOL bVelmoraMode);
    // Opens the file, "" for none, and plays it unless the display is off.
    void StartMusic(const std::string& path);

    // The console display's state: off (0), on (1) or dimmed (2). Off, the
    // views rest and the music gives its device back; a dimmed display is
    // still seen.
    void SetDisplayState(DWORD dwState);

    displays::Cover m_cover;
    pictures::Group m_group;
    std::shared_ptr<pictures::Showing> m_showing;
    std::vector<CSlideView*> m_displays;  // the further displays' views: children, owned by their windows
    CPowerNotify m_powerNotify;
    bool m_bDisplayOff = false;
    MouseGuard m_mouse;
    CSequencer m_sequencer;
    CMusic m_music{m_sequencer};
    int m_nMusicClient = -1;  // of the decoding thread

    DECLARE_MESSAGE_MAP()
};

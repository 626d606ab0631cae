// The music's commands as the platform's MCI sequencer device takes them:
// parameter records filled member by member, the window that receives the
// play's notification as the callback of every command, and never MCI_WAIT.
#pragma once

#include "saver/Music.h"

#include <windows.h>

#include <mmsystem.h>

class CSequencer : public MciCommands {
public:
    using SendCommand = MCIERROR(WINAPI*)(MCIDEVICEID, UINT, DWORD_PTR, DWORD_PTR);

    // Tests hand in their own sender; the program sends with mciSendCommandA.
    explicit CSequencer(SendCommand send = SendMciCommand) : m_send(send) {}

    // mciSendCommandA of WINMM, loaded from the system folder with the first
    // command: WINMM is not one of Windows' known DLLs.
    static MCIERROR WINAPI SendMciCommand(MCIDEVICEID deviceId, UINT message, DWORD_PTR flags, DWORD_PTR parms);

    // The window that MM_MCINOTIFY goes to.
    void SetCallbackWindow(HWND hWnd) { m_hWndCallback = hWnd; }

    unsigned long Open(const char* path, unsigned& deviceId) override;
    unsigned long SeekToStart(unsigned deviceId) override;
    unsigned long Play(unsigned deviceId) override;
    unsigned long Stop(unsigned deviceId) override;
    unsigned long Close(unsigned deviceId) override;

private:
    DWORD_PTR Callback() const { return reinterpret_cast<DWORD_PTR>(m_hWndCallback); }
    unsigned long Generic(unsigned deviceId, UINT message);

    SendCommand m_send;
    HWND m_hWndCallback = nullptr;
};

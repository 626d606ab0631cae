// The application object of vlm.scr: one instance at a time, settings beside
// the executable, and the role that the command line asks for.
#pragma once

#include "fw/WinApp.h"

class CSaverApp : public CWinApp {
public:
    CSaverApp() = default;
    ~CSaverApp() override;

    BOOL InitInstance() override;

    // The folder of the running executable, without a trailing backslash.
    // FALSE when its path does not fit in the buffer.
    static BOOL GetModuleDirectory(int nSize, char* lpszBuffer);

    // Runs the settings dialog; OK writes the settings file.
    void RunSettings();

private:
    BOOL StartPreview(const char* lpszHostHandle);
    BOOL StartFullScreen();

    // Owned from the start to the end of the process.
    HANDLE m_hInstanceMutex = nullptr;
};

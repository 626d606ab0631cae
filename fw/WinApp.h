// The application object: start of the process, the message loop, the main
// window and the four profile functions over the private-profile (INI) file.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // FALSE ends the process at once, without a message loop.
    virtual BOOL InitInstance() { return FALSE; }
    // Dispatches messages until WM_QUIT; returns its exit code.
    virtual int Run();
    virtual int ExitInstance() { return m_nExitCode; }

    // Section, key, default: the stored value read as a decimal number.
    UINT GetProfileInt(const char* section, const char* entry, int nDefault) const;
    std::string GetProfileString(const char* section, const char* entry, const char* lpszDefault) const;
    BOOL WriteProfileInt(const char* section, const char* entry, int nValue) const;
    BOOL WriteProfileString(const char* section, const char* entry, const char* lpszValue) const;

    // Points the profile functions at the INI file whose full path the buffer holds.
    void SetProfileName(std::unique_ptr<char[]> path);

    CWnd* m_pMainWnd = nullptr;
    const char* m_pszProfileName = nullptr;

private:
    // A value again from the file's bytes, where an older version wrote it in
    // the system's code page.
    std::string FromSystemCodePage(const char* section, const char* entry, const std::string& value) const;

    std::unique_ptr<char[]> m_profileName;
    int m_nExitCode = 0;
};

// The one application object of the process.
CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();

// The process entry's work: InitInstance, then the loop, then ExitInstance.
int AfxWinMain();

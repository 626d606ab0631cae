// The desktop's side of the end-to-end tests: starts vlm.scr as the desktop
// does and watches its windows from outside. Every result goes to a log file
// (standard output is shared with the processes that wine starts).
//
//   vlmhost LOG preview VLM [W H]   host window, "VLM /p <hwnd>", checks the child,
//                                    destroys the host, waits for the end
//   vlmhost LOG launch SECONDS CMD   starts CMD, logs its first window, waits for
//                                    its end (terminating it after SECONDS)
//   vlmhost LOG run SECONDS CMD      starts CMD, which must end within SECONDS
//                                    without ever showing a window
//   vlmhost LOG second VLM ARGS...   while a preview runs, each "VLM ARG" must
//                                    end at once without a window
//   vlmhost LOG close HWND           posts WM_CLOSE to a window
//   vlmhost LOG syscommand HWND CMD  sends WM_SYSCOMMAND with a command (decimal)
//   vlmhost LOG backdrop SECONDS     a white window over the whole screen, so that
//                                    a screenshot tells the saver from the desktop
//   vlmhost LOG short PATH           logs "short " and the 8.3 form of PATH
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

FILE* g_log = nullptr;

void Log(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vfprintf(g_log, format, args);
    va_end(args);
    std::fputc('\n', g_log);
    std::fflush(g_log);
}

int Fail(const char* what)
{
    Log("FAIL %s", what);
    return 1;
}

struct Process {
    PROCESS_INFORMATION info{};
    bool Start(const std::string& commandLine)
    {
        STARTUPINFOA si{};
        si.cb = sizeof si;
        std::vector<char> line(commandLine.begin(), commandLine.end());
        line.push_back('\0');
        return ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info);
    }
    // The exit code, or -1 when it still runs after `ms` milliseconds.
    long WaitExit(DWORD ms)
    {
        if (::WaitForSingleObject(info.hProcess, ms) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(info.hProcess, &code);
        return static_cast<long>(code);
    }
    ~Process()
    {
        if (info.hProcess != nullptr) {
            if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(info.hProcess, 99);
            ::CloseHandle(info.hProcess);
            ::CloseHandle(info.hThread);
        }
    }
};

struct Found {
    DWORD pid;
    HWND hwnd;
};

BOOL CALLBACK FindTopLevel(HWND hwnd, LPARAM lParam)
{
    auto* found = reinterpret_cast<Found*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid == found->pid && ::IsWindowVisible(hwnd)) {
        found->hwnd = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleWindowOf(DWORD pid)
{
    Found found{pid, nullptr};
    ::EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&found));
    return found.hwnd;
}

void PumpFor(DWORD ms)
{
    const DWORD until = ::GetTickCount() + ms;
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        ::Sleep(10);
    } while (static_cast<LONG>(until - ::GetTickCount()) > 0);
}

// A window class of the tests' own, painted white.
const char* RegisterWhiteClass(const char* name)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = name;
    ::RegisterClassA(&wc);
    return name;
}

HWND MakeHostWindow(int width, int height)
{
    const char* className = RegisterWhiteClass("VlmTestHost");
    RECT rc{0, 0, width, height};
    ::AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    HWND hwnd = ::CreateWindowA(className, "Velmora test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    PumpFor(200);
    return hwnd;
}

std::string HandleText(HWND hwnd)
{
    return std::to_string(static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
}

// The child window that another process put into the host, or null.
HWND ChildOf(HWND host, DWORD pid)
{
    for (HWND child = ::GetWindow(host, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(child, &owner);
        if (owner == pid)
            return child;
    }
    return nullptr;
}

std::string Join(int first, int argc, char** argv)
{
    std::string line;
    for (int i = first; i < argc; ++i) {
        if (!line.empty())
            line += ' ';
        line += argv[i];
    }
    return line;
}

int Backdrop(DWORD seconds)
{
    const char* className = RegisterWhiteClass("VlmTestBackdrop");
    HWND hwnd = ::CreateWindowA(className, "Velmora test backdrop", WS_POPUP | WS_VISIBLE, 0, 0,
                                ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr)
        return Fail("backdrop");
    PumpFor(300);
    Log("backdrop %s", HandleText(hwnd).c_str());
    PumpFor(seconds * 1000);
    return 0;
}

int Preview(const std::string& vlm, int width, int height)
{
    HWND host = MakeHostWindow(width, height);
    Process saver;
    if (!saver.Start("\"" + vlm + "\" /p " + HandleText(host)))
        return Fail("start");
    HWND child = nullptr;
    for (int i = 0; i < 300 && child == nullptr; ++i) {
        PumpFor(50);
        child = ChildOf(host, saver.info.dwProcessId);
    }
    if (child == nullptr)
        return Fail("no child window in the host");
    PumpFor(1500);  // the view keeps running
    RECT client, rc;
    ::GetClientRect(host, &client);
    ::GetWindowRect(child, &rc);
    ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&rc), 2);
    Log("child %ld %ld %ld %ld of %ld %ld visible %d style %08lx", rc.left, rc.top, rc.right, rc.bottom,
        client.right, client.bottom, ::IsWindowVisible(child),
        static_cast<unsigned long>(::GetWindowLongA(child, GWL_STYLE)));
    if (!::EqualRect(&rc, &client))
        return Fail("child does not cover the client area");
    if (!::IsWindowVisible(child) || !(::GetWindowLongA(child, GWL_STYLE) & WS_CHILD))
        return Fail("child is not a visible child window");
    if (saver.WaitExit(0) != -1)
        return Fail("saver ended while the host lives");

    const DWORD destroyed = ::GetTickCount();
    ::DestroyWindow(host);
    const long code = saver.WaitExit(10000);
    Log("exit %ld after %lu ms", code, ::GetTickCount() - destroyed);
    return code == 0 ? 0 : Fail("saver did not end with its host");
}

int Launch(DWORD seconds, const std::string& commandLine)
{
    Process saver;
    if (!saver.Start(commandLine))
        return Fail("start");
    HWND hwnd = nullptr;
    for (int i = 0; i < 300 && hwnd == nullptr && saver.WaitExit(0) == -1; ++i) {
        ::Sleep(50);
        hwnd = VisibleWindowOf(saver.info.dwProcessId);
    }
    if (hwnd != nullptr) {
        RECT rc;
        ::GetWindowRect(hwnd, &rc);
        const LONG exStyle = ::GetWindowLongA(hwnd, GWL_EXSTYLE);
        Log("window %ld %ld %ld %ld topmost %d style %08lx screen %d %d", rc.left, rc.top, rc.right, rc.bottom,
            (exStyle & WS_EX_TOPMOST) != 0, static_cast<unsigned long>(::GetWindowLongA(hwnd, GWL_STYLE)),
            ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
        Log("hwnd %s", HandleText(hwnd).c_str());
    } else {
        Log("no window");
    }
    const long code = saver.WaitExit(seconds * 1000);
    if (code == -1) {
        Log("timeout");
        return 1;
    }
    Log("exit %ld", code);
    return 0;
}

// Runs a start that must end at once, without a window.
bool RunsAndEndsSilently(const std::string& commandLine, DWORD seconds)
{
    Process saver;
    if (!saver.Start(commandLine)) {
        Log("FAIL start %s", commandLine.c_str());
        return false;
    }
    bool sawWindow = false;
    const DWORD until = ::GetTickCount() + seconds * 1000;
    long code = -1;
    while ((code = saver.WaitExit(20)) == -1 && static_cast<LONG>(until - ::GetTickCount()) > 0)
        sawWindow = sawWindow || VisibleWindowOf(saver.info.dwProcessId) != nullptr;
    Log("%s: exit %ld window %d", commandLine.c_str(), code, sawWindow);
    return code != -1 && !sawWindow;
}

int SecondInstance(const std::string& vlm, int argc, char** argv, int first)
{
    HWND host = MakeHostWindow(200, 150);
    Process preview;
    if (!preview.Start("\"" + vlm + "\" /p " + HandleText(host)))
        return Fail("start");
    for (int i = 0; i < 300 && ChildOf(host, preview.info.dwProcessId) == nullptr; ++i)
        PumpFor(50);
    if (ChildOf(host, preview.info.dwProcessId) == nullptr)
        return Fail("no preview");
    bool ok = true;
    for (int i = first; i < argc; ++i)
        ok = RunsAndEndsSilently("\"" + vlm + "\" " + argv[i], 5) && ok;
    ok = ok && preview.WaitExit(0) == -1;
    ::DestroyWindow(host);
    ok = preview.WaitExit(10000) == 0 && ok;
    return ok ? 0 : Fail("second instance");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    g_log = std::fopen(argv[1], "wb");
    if (g_log == nullptr)
        return 2;
    const std::string command = argv[2];
    int result = 2;
    if (command == "preview")
        result = Preview(argv[3], argc > 5 ? std::atoi(argv[4]) : 320, argc > 5 ? std::atoi(argv[5]) : 240);
    else if (command == "launch" && argc > 4)
        result = Launch(static_cast<DWORD>(std::atoi(argv[3])), Join(4, argc, argv));
    else if (command == "run" && argc > 4)
        result = RunsAndEndsSilently(Join(4, argc, argv), static_cast<DWORD>(std::atoi(argv[3]))) ? 0 : 1;
    else if (command == "close")
        result = ::PostMessageA(reinterpret_cast<HWND>(std::strtoull(argv[3], nullptr, 10)), WM_CLOSE, 0, 0) ? 0 : 1;
    else if (command == "syscommand" && argc > 4)
        result = (::SendMessageA(reinterpret_cast<HWND>(std::strtoull(argv[3], nullptr, 10)), WM_SYSCOMMAND,
                                 std::strtoul(argv[4], nullptr, 10), 0), 0);
    else if (command == "backdrop")
        result = Backdrop(static_cast<DWORD>(std::atoi(argv[3])));
    else if (command == "second")
        result = SecondInstance(argv[3], argc, argv, 4);
    else if (command == "short") {
        char path[MAX_PATH] = "";
        const DWORD length = ::GetShortPathNameA(argv[3], path, MAX_PATH);
        result = length > 0 && length < MAX_PATH ? (Log("short %s", path), 0) : Fail("GetShortPathNameA");
    }
    Log("result %d", result);
    std::fclose(g_log);
    return result;
}

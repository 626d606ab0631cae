// The desktop's side of the preview: a host window of W x H pixels whose
// handle goes to "VLM /p <hwnd>". Prints the child window that vlm.scr puts
// into it, then destroys the host while the preview runs and prints how
// vlm.scr ended. Usage: vlmhost W H VLM
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

static void PumpFor(DWORD ms)
{
    for (const DWORD until = ::GetTickCount() + ms; static_cast<LONG>(until - ::GetTickCount()) > 0; ::Sleep(10))
        for (MSG msg; ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);)
            ::DispatchMessageA(&msg);
}

int main(int argc, char** argv)
{
    if (argc != 4)
        return 2;
    RECT rc{0, 0, std::atoi(argv[1]), std::atoi(argv[2])};
    ::AdjustWindowRect(&rc, WS_OVERLAPPEDWINDOW, FALSE);
    HWND host = ::CreateWindowA("STATIC", "Velmora test host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40,
                                rc.right - rc.left, rc.bottom - rc.top, nullptr, nullptr, nullptr, nullptr);
    std::string line = std::string("\"") + argv[3] + "\" /p " + std::to_string(reinterpret_cast<UINT_PTR>(host));
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION saver{};
    if (host == nullptr ||
        !::CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &saver))
        return 2;

    for (int i = 0; i < 300 && ::GetWindow(host, GW_CHILD) == nullptr; ++i)
        PumpFor(50);
    PumpFor(1500);  // the view keeps running
    const HWND child = ::GetWindow(host, GW_CHILD);
    RECT client{}, view{};
    ::GetClientRect(host, &client);
    ::GetWindowRect(child, &view);
    ::MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&view), 2);
    std::printf("child %ld %ld %ld %ld of %ld %ld visible %d style %08lx running %d\n", view.left, view.top,
                view.right, view.bottom, client.right, client.bottom, child != nullptr && ::IsWindowVisible(child),
                static_cast<unsigned long>(::GetWindowLongA(child, GWL_STYLE)),
                ::WaitForSingleObject(saver.hProcess, 0) == WAIT_TIMEOUT);

    ::DestroyWindow(host);
    const DWORD destroyed = ::GetTickCount();
    DWORD code = 99;
    if (::WaitForSingleObject(saver.hProcess, 10000) != WAIT_OBJECT_0 || !::GetExitCodeProcess(saver.hProcess, &code))
        ::TerminateProcess(saver.hProcess, 99);
    std::printf("exit %lu after %lu ms\n", code, ::GetTickCount() - destroyed);
    return 0;
}

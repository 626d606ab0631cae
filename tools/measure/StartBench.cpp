// Not a test: the time from starting "vlm.scr /s" to its first frame on the
// screen and, when asked, to its first picture. A white window covers the
// screen first; the first frame is the moment the screen's corner pixels are
// no longer white, the first picture the moment a pixel of colour shows (the
// background and the fan are grey). Usage: start_bench VLM.SCR [RUNS]
// [picture]; prints one line per run and the medians.
#include "Clock.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        ::DispatchMessageA(&msg);
}

BOOL CALLBACK CloseWindowsOf(HWND hwnd, LPARAM processId)
{
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == static_cast<DWORD>(processId))
        ::PostMessageA(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
}

// Whether a pixel of the screen is not grey.
bool Coloured(HDC screen, int cx, int cy)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, cx, -cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP copy = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(memory, copy);
    ::BitBlt(memory, 0, 0, cx, cy, screen, 0, 0, SRCCOPY);
    bool coloured = false;
    const auto* pixels = static_cast<const unsigned char*>(bits);
    for (size_t i = 0; !coloured && i < 4u * cx * cy; i += 4)
        coloured = std::abs(pixels[i] - pixels[i + 1]) > 16 || std::abs(pixels[i + 1] - pixels[i + 2]) > 16;
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(copy);
    return coloured;
}

bool Blank(HDC screen, int cx, int cy)
{
    for (const POINT p : {POINT{2, 2}, POINT{cx - 3, 2}, POINT{2, cy - 3}, POINT{cx - 3, cy - 3}})
        if (::GetPixel(screen, p.x, p.y) == RGB(255, 255, 255))
            return false;
    return true;
}

// Milliseconds to the first frame, or a negative value when none came; the
// first picture's time goes to `picture`, when asked (negative for none).
double FirstFrame(const std::string& vlm, double* picture)
{
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    HWND backdrop = ::CreateWindowA("STATIC", "", WS_POPUP | WS_VISIBLE | SS_WHITERECT, 0, 0, cx, cy, nullptr,
                                    nullptr, nullptr, nullptr);
    HDC screen = ::GetDC(nullptr);
    for (double until = Now() + 300; Now() < until;)
        Pump();

    std::string command = "\"" + vlm + "\" /s";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double start = Now();
    double elapsed = -1;
    if (::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        while (Now() - start < 10000 && elapsed < 0) {
            Pump();
            if (!Blank(screen, cx, cy))
                ::Sleep(1);
            else
                elapsed = Now() - start;
        }
        if (picture != nullptr)
            for (*picture = -1; elapsed >= 0 && *picture < 0 && Now() - start < 60000; ::Sleep(5))
                if (Coloured(screen, cx, cy))
                    *picture = Now() - start;
        ::EnumWindows(CloseWindowsOf, static_cast<LPARAM>(process.dwProcessId));
        if (::WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
            ::TerminateProcess(process.hProcess, 1);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::ReleaseDC(nullptr, screen);
    ::DestroyWindow(backdrop);
    return elapsed;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: start_bench VLM.SCR [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    const bool pictures = argc > 3 && std::string(argv[3]) == "picture";
    std::vector<double> times, pictureTimes;
    for (int i = 0; i < runs; ++i) {
        double picture = -1;
        const double ms = FirstFrame(argv[1], pictures ? &picture : nullptr);
        if (ms < 0) {
            std::fprintf(stderr, "start_bench: no frame within 10 s\n");
            return 1;
        }
        std::printf("run %d: first frame after %.0f ms", i + 1, ms);
        if (pictures)
            std::printf(picture < 0 ? ", no picture within 60 s" : ", first picture after %.0f ms", picture);
        std::printf("\n");
        times.push_back(ms);
        pictureTimes.push_back(picture < 0 ? 1e9 : picture);
    }
    std::sort(times.begin(), times.end());
    std::sort(pictureTimes.begin(), pictureTimes.end());
    std::printf("median %.0f ms\n", times[times.size() / 2]);
    if (pictures)
        std::printf("picture median %.0f ms\n", pictureTimes[pictureTimes.size() / 2]);
    return 0;
}

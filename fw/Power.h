// Notifications of a power setting to a window (RegisterPowerSettingNotification,
// looked up at run time, since systems before Vista lack it): WM_POWERBROADCAST
// with PBT_POWERSETTINGCHANGE. The owner unregisters at its end.
#pragma once

#include <windows.h>

class CPowerNotify {
public:
    CPowerNotify() = default;
    ~CPowerNotify() { Unregister(); }
    CPowerNotify(const CPowerNotify&) = delete;
    CPowerNotify& operator=(const CPowerNotify&) = delete;

    // FALSE where the system does not know the function or the setting.
    BOOL Register(HWND hWnd, const GUID& setting);
    void Unregister();

private:
    HPOWERNOTIFY m_hNotify = nullptr;
};

#include "fw/Power.h"

#include "fw/System.h"

BOOL CPowerNotify::Register(HWND hWnd, const GUID& setting)
{
    using RegisterFunction = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
    Unregister();
    if (const auto reg = GetSystemProc<RegisterFunction>("user32.dll", "RegisterPowerSettingNotification"))
        m_hNotify = reg(hWnd, &setting, DEVICE_NOTIFY_WINDOW_HANDLE);
    return m_hNotify != nullptr;
}

void CPowerNotify::Unregister()
{
    using UnregisterFunction = BOOL(WINAPI*)(HPOWERNOTIFY);
    if (m_hNotify == nullptr)
        return;
    if (const auto unreg = GetSystemProc<UnregisterFunction>("user32.dll", "UnregisterPowerSettingNotification"))
        unreg(m_hNotify);
    m_hNotify = nullptr;
}

#include "saver/Sequencer.h"

#include "fw/System.h"

MCIERROR WINAPI CSequencer::SendMciCommand(MCIDEVICEID deviceId, UINT message, DWORD_PTR flags, DWORD_PTR parms)
{
    static const auto send = GetSystemProc<SendCommand>("winmm.dll", "mciSendCommandA");
    return send != nullptr ? send(deviceId, message, flags, parms) : MCIERR_DEVICE_NOT_INSTALLED;
}

unsigned long CSequencer::Open(const char* path, unsigned& deviceId)
{
    MCI_OPEN_PARMSA parms{};
    parms.dwCallback = Callback();
    parms.wDeviceID = 0;
    parms.lpstrDeviceType = "sequencer";
    parms.lpstrElementName = path;
    parms.lpstrAlias = nullptr;
    const MCIERROR result =
        m_send(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&parms));
    deviceId = parms.wDeviceID;
    return result;
}

unsigned long CSequencer::SeekToStart(unsigned deviceId)
{
    MCI_SEEK_PARMS parms{};
    parms.dwCallback = Callback();
    parms.dwTo = 0;
    return m_send(deviceId, MCI_SEEK, MCI_SEEK_TO_START, reinterpret_cast<DWORD_PTR>(&parms));
}

// From the position sought to the end, with a notification at the end.
unsigned long CSequencer::Play(unsigned deviceId)
{
    MCI_PLAY_PARMS parms{};
    parms.dwCallback = Callback();
    parms.dwFrom = 0;
    parms.dwTo = 0;
    return m_send(deviceId, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&parms));
}

unsigned long CSequencer::Stop(unsigned deviceId) { return Generic(deviceId, MCI_STOP); }

unsigned long CSequencer::Close(unsigned deviceId) { return Generic(deviceId, MCI_CLOSE); }

unsigned long CSequencer::Generic(unsigned deviceId, UINT message)
{
    MCI_GENERIC_PARMS parms{};
    parms.dwCallback = Callback();
    return m_send(deviceId, message, 0, reinterpret_cast<DWORD_PTR>(&parms));
}

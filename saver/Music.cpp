#include "saver/Music.h"

bool CMusic::OpenMusic(const char* path)
{
    if (m_bMusicOpen)
        return true;
    if (path == nullptr)
        return false;
    m_strMidiPath = path;
    unsigned deviceId = 0;
    m_bMusicOpen = m_commands.Open(m_strMidiPath.c_str(), deviceId) == 0;
    if (m_bMusicOpen)
        m_wDeviceID = deviceId;
    return m_bMusicOpen;
}

bool CMusic::RewindMusic()
{
    if (!m_bMusicOpen)
        return false;
    if (m_bMusicPlaying)
        return true;
    return m_commands.SeekToStart(m_wDeviceID) == 0;
}

bool CMusic::PlayMusic()
{
    if (!m_bMusicOpen)
        return false;
    if (m_bMusicPlaying)
        return true;
    RewindMusic();
    m_bMusicPlaying = m_commands.Play(m_wDeviceID) == 0;
    return m_bMusicPlaying;
}

bool CMusic::StopMusic()
{
    if (!m_bMusicPlaying)
        return true;
    if (m_commands.Stop(m_wDeviceID) != 0)
        return false;
    m_bMusicPlaying = false;
    return true;
}

bool CMusic::CloseMusic()
{
    if (!m_bMusicOpen)
        return true;
    StopMusic();
    if (m_commands.Close(m_wDeviceID) != 0)
        return false;
    m_bMusicOpen = false;
    return true;
}

// A stopped or superseded play (another code) is left alone.
void CMusic::OnMciNotify(unsigned long code)
{
    if (code != kNotifySuccessful)
        return;
    StopMusic();
    PlayMusic();
}

void CMusic::Pause()
{
    m_bPaused = m_bPaused || m_bMusicOpen;
    CloseMusic();
}

void CMusic::Resume()
{
    if (!m_bPaused)
        return;
    m_bPaused = false;
    const std::string path = m_strMidiPath;
    if (OpenMusic(path.c_str()))
        PlayMusic();
}

// The background music: one file on the platform's MIDI sequencer, played
// from its start again each time it has played to its end. The device is
// closed, open and stopped, or playing; the commands that move it between
// these states go through MciCommands, which the program answers with the
// platform's MCI and tests answer with a script.
#pragma once

#include <string>

// The five commands of the sequencer device. Each answers the platform's
// result: 0 when the command was accepted.
class MciCommands {
public:
    virtual ~MciCommands() = default;
    // Opens a file; on success deviceId receives the device's identifier.
    virtual unsigned long Open(const char* path, unsigned& deviceId) = 0;
    virtual unsigned long SeekToStart(unsigned deviceId) = 0;
    // Plays to the end and notifies then (or when the play is cut short).
    virtual unsigned long Play(unsigned deviceId) = 0;
    virtual unsigned long Stop(unsigned deviceId) = 0;
    virtual unsigned long Close(unsigned deviceId) = 0;
};

class CMusic {
public:
    // The notification code of a file that has played to its end.
    static constexpr unsigned long kNotifySuccessful = 1;

    explicit CMusic(MciCommands& commands) : m_commands(commands) {}
    CMusic(const CMusic&) = delete;
    CMusic& operator=(const CMusic&) = delete;

    // Each answers whether the device is in the state asked for afterwards.
    bool OpenMusic(const char* path);  // an open device keeps its file
    bool RewindMusic();                // TRUE also while it plays
    bool PlayMusic();
    bool StopMusic();
    bool CloseMusic();

    // The device's notification: a file played to its end starts again.
    void OnMciNotify(unsigned long code);

    // While nobody listens the device is given back, stopped and closed, so
    // that the system may sleep; resuming opens the same file again and
    // plays it from its start. Only music that was open comes back.
    void Pause();
    void Resume();

    bool IsOpen() const { return m_bMusicOpen; }
    bool IsPlaying() const { return m_bMusicPlaying; }
    const std::string& GetPath() const { return m_strMidiPath; }

private:
    MciCommands& m_commands;
    bool m_bMusicOpen = false;
    unsigned m_wDeviceID = 0;
    std::string m_strMidiPath;
    bool m_bMusicPlaying = false;
    bool m_bPaused = false;  // open when the pause came
};

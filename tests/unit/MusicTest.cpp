// The music's device states over scripts of calls and of the platform's
// answers.
#include "saver/Music.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

namespace {

// Records each command as "name device" ("open path") and answers 0, or 296
// (MCIERR_INVALID_FILE) for the names it is told to fail.
class ScriptedCommands : public MciCommands {
public:
    unsigned long Open(const char* path, unsigned& id) override { return id = 7, Answer(std::string("open ") + path); }
    unsigned long SeekToStart(unsigned id) override { return Answer("seek " + std::to_string(id)); }
    unsigned long Play(unsigned id) override { return Answer("play " + std::to_string(id)); }
    unsigned long Stop(unsigned id) override { return Answer("stop " + std::to_string(id)); }
    unsigned long Close(unsigned id) override { return Answer("close " + std::to_string(id)); }

    std::set<std::string> failing;
    std::string log;

private:
    unsigned long Answer(const std::string& command)
    {
        log += (log.empty() ? "" : ", ") + command;
        return failing.count(command.substr(0, command.find(' '))) != 0 ? 296 : 0;
    }
};

struct Script {
    const char* calls;     // open (a.mid), open2 (b.mid), open0 (no path), rewind, play, stop, close;
                           // notify1, notify2...: MM_MCINOTIFY codes; !name, +name: the device fails, succeeds
    const char* answers;   // T or F for each call that answers
    const char* commands;  // sent to the device
    const char* state;     // "closed", "open", "playing"
};

TEST(MusicTest, DeviceStates)
{
    const Script scripts[] = {
        {"rewind play stop close open0 notify1", "FFTTF", "", "closed"},  // a closed device sends nothing
        {"!open open play", "FF", "open a.mid", "closed"},
        {"open play open2 rewind play", "TTTTT", "open a.mid, seek 7, play 7", "playing"},  // the first file stays
        {"open !seek !play rewind play", "TFF", "open a.mid, seek 7, seek 7, play 7", "open"},
        {"open play !stop stop notify1", "TTF", "open a.mid, seek 7, play 7, stop 7, stop 7", "playing"},
        {"open play close", "TTT", "open a.mid, seek 7, play 7, stop 7, close 7", "closed"},
        {"open play !close close close +close close", "TTFFT",
         "open a.mid, seek 7, play 7, stop 7, close 7, close 7, close 7", "closed"},
        // Only a play that reached its end (code 1) starts again.
        {"open play notify1", "TT", "open a.mid, seek 7, play 7, stop 7, seek 7, play 7", "playing"},
        {"open play notify2 notify4 notify8", "TT", "open a.mid, seek 7, play 7", "playing"},
        // A pause gives the device back; resuming plays the same file anew,
        // only if it was open.
        {"open play pause pause resume resume", "TT",
         "open a.mid, seek 7, play 7, stop 7, close 7, open a.mid, seek 7, play 7", "playing"},
        {"!open open pause resume", "F", "open a.mid", "closed"},
        {"open !close pause +close resume", "T", "open a.mid, close 7, seek 7, play 7", "playing"},
    };
    for (const Script& script : scripts) {
        ScriptedCommands device;
        CMusic music(device);
        std::istringstream calls(script.calls);
        std::string call, answers;
        while (calls >> call) {
            const auto answer = [&](bool result) { answers += result ? 'T' : 'F'; };
            if (call[0] == '!' || call[0] == '+')
                call[0] == '!' ? (void)device.failing.insert(call.substr(1))
                               : (void)device.failing.erase(call.substr(1));
            else if (call == "pause" || call == "resume")
                call == "pause" ? music.Pause() : music.Resume();
            else if (call.rfind("notify", 0) == 0)
                music.OnMciNotify(std::stoul(call.substr(6)));
            else if (call.rfind("open", 0) == 0)
                answer(music.OpenMusic(call == "open" ? "a.mid" : call == "open2" ? "b.mid" : nullptr));
            else
                answer(call == "rewind" ? music.RewindMusic() : call == "play" ? music.PlayMusic()
                       : call == "stop" ? music.StopMusic() : music.CloseMusic());
        }
        EXPECT_EQ(answers, script.answers) << script.calls;
        EXPECT_EQ(device.log, script.commands) << script.calls;
        EXPECT_EQ(music.IsPlaying() ? "playing" : music.IsOpen() ? "open" : "closed", std::string(script.state))
            << script.calls;
    }
}

}  // namespace

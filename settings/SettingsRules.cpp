#include "settings/SettingsRules.h"

namespace settings {

int ScrollTarget(int code, int current, int thumb)
{
    int target = current;
    switch (code) {
    case kLineLeft: target = current - 1; break;
    case kLineRight: target = current + 1; break;
    case kPageLeft: target = current - 10; break;
    case kPageRight: target = current + 10; break;
    case kThumbPosition:
    case kThumbTrack: target = thumb; break;
    case kLeft: target = 0; break;
    case kRight: target = 100; break;
    default: break;
    }
    return target < 1 ? 1 : target;
}

std::string MidiInitialDirectory(const std::string& midi, LeadByte isLead)
{
    const std::size_t last = FindLastBackslash(midi, isLead);
    if (last == std::string::npos || last == 0)
        return midi;
    return midi.substr(0, last);
}

}  // namespace settings

// The arithmetic of the settings dialog, apart from the window system: where a
// scroll bar goes on each scroll code, and in which folder the MIDI chooser
// opens.
#pragma once

#include "app/SettingsPath.h"

#include <string>

namespace settings {

// The scroll codes of WM_HSCROLL, as the platform numbers them.
enum ScrollCode {
    kLineLeft = 0,
    kLineRight = 1,
    kPageLeft = 2,
    kPageRight = 3,
    kThumbPosition = 4,
    kThumbTrack = 5,
    kLeft = 6,
    kRight = 7,
    kEndScroll = 8,
};

// The position a bar at `current` is asked to take: a line is 1, a page 10,
// the left end 0 and the right end 100; the thumb codes take `thumb`; any
// other code leaves it. Never below 1: the bar itself clamps to its range.
int ScrollTarget(int code, int current, int thumb);

// The MIDI chooser's initial directory: the text up to its last backslash,
// which is dropped with all that follows. The first character is never taken
// for that backslash, so "\name" stays whole, as does a text without one;
// "C:\" gives "C:", the current directory of drive C.
// Double-byte characters are kept whole when a lead-byte test is given.
std::string MidiInitialDirectory(const std::string& midi, LeadByte isLead = nullptr);

}  // namespace settings

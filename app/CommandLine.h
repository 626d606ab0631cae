// The command line of the screen saver: which role a start asks for, and the
// host window handed to the preview. Plain C++, no window system.
#pragma once

#include <cstdint>

enum class Role { Settings, Preview, FullScreen, None };

// TRUE when the argument, after at most one "-" or "/", begins with the first
// character of `letter`. Letters compare without regard to case: the desktop
// starts a saver with "/S" as often as with "/s".
bool IsSwitch(const char* arg, const char* letter);

// The role selected by argument 1 (argv[0] is the program): none or "c" opens
// the settings, "p" the preview, "s" the full-screen run; anything else is None.
Role RoleFromArguments(int argc, const char* const* argv);

// Reads the host window's handle as the desktop writes it: a signed decimal
// number, leading blanks allowed, reading stops at the first non-digit. FALSE
// for a text with no digits or a value that does not fit in 32 bits.
bool ParseWindowHandle(const char* text, std::intptr_t& value);

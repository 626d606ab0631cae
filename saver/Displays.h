// The displays of the full-screen run: one window covers them all, so that
// nothing of the desktop shows, and each display gets a slide view of its own
// size. Plain C++ over the rectangles that the system reports.
#pragma once

#include <vector>

namespace displays {

struct Rect {
    int left;
    int top;
    int right;
    int bottom;
};

struct Cover {
    Rect window;              // the full-screen window, in screen coordinates
    std::vector<Rect> views;  // a view a display, in the window's client coordinates
};

// The displays in the order the system lists them, the primary first. A
// display listed twice (mirrored), one wholly inside another and one without
// extent get no view; the window is the bounding box of the rest, whose
// origin lies left of or above the primary's when a display stands there.
Cover CoverDisplays(const std::vector<Rect>& displays);

}  // namespace displays

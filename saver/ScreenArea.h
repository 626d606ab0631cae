// The rectangle the full-screen window covers: the whole virtual screen, the
// bounding box of every display, whose origin lies left of or above the
// primary display's when a display stands there. With one display it is the
// primary display, (0, 0) to its size. Systems that know nothing of several
// displays answer 0 for the virtual screen's size; then the primary display
// is taken.
#pragma once

struct ScreenArea {
    int left;
    int top;
    int right;
    int bottom;
};

// x, y, cx, cy: SM_XVIRTUALSCREEN, SM_YVIRTUALSCREEN, SM_CXVIRTUALSCREEN,
// SM_CYVIRTUALSCREEN; cxPrimary, cyPrimary: SM_CXSCREEN, SM_CYSCREEN.
inline ScreenArea FullScreenArea(int x, int y, int cx, int cy, int cxPrimary, int cyPrimary)
{
    if (cx <= 0 || cy <= 0)
        return {0, 0, cxPrimary, cyPrimary};
    return {x, y, x + cx, y + cy};
}

// When a mouse report ends the full-screen run: the first position reported is
// recorded, and any later report of another position ends it. (-1, -1) means
// that nothing has been recorded yet, so a first report at (-1, -1) records
// nothing and the next report counts as the first again.
#pragma once

struct MouseGuard {
    int firstX = -1;
    int firstY = -1;

    // true when the report at (x, y) ends the run.
    bool EndsRun(int x, int y)
    {
        if (firstX == -1 && firstY == -1) {
            firstX = x;
            firstY = y;
            return false;
        }
        return x != firstX || y != firstY;
    }
};

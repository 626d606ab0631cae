#include "view/Motion.h"

#include <algorithm>
#include <cstdint>

namespace motion {

int TimerPeriod(int speed)
{
    const std::int64_t period = 550 - 5 * static_cast<std::int64_t>(std::max(speed, 0));
    return period < kMinimumTimerPeriod ? kMinimumTimerPeriod : static_cast<int>(period);
}

int ClampResolution(int resolution) { return std::clamp(resolution, 1, 20); }

int ClampChangeTimes(int changeTimes) { return std::clamp(changeTimes, 1, 100); }

int StepFromHeight(int resolution, int clientHeight)
{
    const double product = static_cast<double>(static_cast<std::int64_t>(resolution) * clientHeight);
    const int step = static_cast<int>(product * 0.01);
    return step < 1 ? 1 : step;
}

int StartPosition(int draw, int extent) { return extent > 0 ? draw % extent : 0; }

void Glide(int& position, int& step, int size, int limit)
{
    // 64-bit sums: a hand-edited settings file or a huge picture must not make
    // the look-ahead overflow.
    const std::int64_t next = static_cast<std::int64_t>(position) + step;
    if (next + size > limit) {
        if (step > 0)
            step = -step;
    } else if (next < 0 && step < 0) {
        step = -step;
    }
    position += step;
}

}  // namespace motion

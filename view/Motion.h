// The arithmetic of the slide view's animation: timer period, step, clamps and
// the glide of the tile with its bounce at the edges. Plain C++.
#pragma once

namespace motion {

// The shortest period a window timer honours (USER_TIMER_MINIMUM).
inline constexpr int kMinimumTimerPeriod = 10;

// 550 - 5 x Speed milliseconds, a negative Speed counting as 0. A Speed of 110
// or more would give a period of zero or less: the timer then runs as fast as
// the platform allows instead of wrapping round to a period of weeks.
int TimerPeriod(int speed);

int ClampResolution(int resolution);    // 1..20
int ClampChangeTimes(int changeTimes);  // 1..100

// Resolution percent of the client height, truncated, at least 1 pixel.
int StepFromHeight(int resolution, int clientHeight);

// A random draw placed inside an extent; 0 on an axis with no extent.
int StartPosition(int draw, int extent);

// One tick on one axis. The turn looks one step ahead: a tile whose next step
// would carry its far edge past `limit`, or its near edge below 0, reverses its
// step first; then it moves by the step.
void Glide(int& position, int& step, int size, int limit);

}  // namespace motion

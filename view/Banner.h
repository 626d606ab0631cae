// The banner fan behind the tile: 24 copies of the banner text turned in steps
// of 15 degrees, at one random size, in random greys, all from one random point
// or each from its own. The layout is plain arithmetic on random draws; the
// window side only draws what it is given.
#pragma once

#include <array>
#include <functional>

namespace banner {

// Eight spaces keep the letters off the start point, so that copies drawn from
// one point leave an empty ring around it; then a line of 31 characters.
inline constexpr char kText[] = "        Velmora: pictures from your web";
inline constexpr int kTextLength = sizeof kText - 1;
static_assert(kTextLength == 39);

inline constexpr int kCopies = 24;
inline constexpr int kEscapementStep = 150;  // tenths of a degree
inline constexpr int kWeight = 500;
inline constexpr char kFace[] = "Arial Black";

struct Copy {
    int escapement;  // tenths of a degree, counter-clockwise
    int grey;        // 0..254; the colour is grey x 0x010101
    int x;
    int y;
};

struct Layout {
    int pointSize;  // tenths of a point, 0..359
    bool scattered;
    std::array<Copy, kCopies> copies;
};

// The next value of the process's random sequence, never negative.
using Random = std::function<int()>;

// Takes the frame's draws strictly in this order: size, x, y, mode, then per
// copy its grey and, when scattered, its own x and y: 28 or 76 draws. On an
// axis of no extent every position is 0.
Layout LayOut(const Random& random, int width, int height);

}  // namespace banner

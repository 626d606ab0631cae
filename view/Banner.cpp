#include "view/Banner.h"

#include "view/Motion.h"

namespace banner {

Layout LayOut(const Random& random, int width, int height)
{
    Layout layout{};
    layout.pointSize = random() % 360;
    int x = motion::StartPosition(random(), width);
    int y = motion::StartPosition(random(), height);
    layout.scattered = random() % 2 != 0;
    for (int k = 0; k < kCopies; ++k) {
        Copy& copy = layout.copies[k];
        copy.escapement = kEscapementStep * k;
        copy.grey = random() % 255;
        if (layout.scattered) {
            x = motion::StartPosition(random(), width);
            y = motion::StartPosition(random(), height);
        }
        copy.x = x;
        copy.y = y;
    }
    return layout;
}

}  // namespace banner

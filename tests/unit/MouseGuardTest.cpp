#include "saver/MouseGuard.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// The first position reported is recorded; a report of another ends the run.
// (-1, -1) records nothing. Each script: the reports; the one that ends (0: none).
TEST(MouseGuardTest, OnlyAMoveAwayFromTheFirstPositionEnds)
{
    const std::pair<std::vector<int>, int> scripts[] = {
        {{500, 300, 500, 300, 500, 300}, 0}, {{500, 300, 501, 300}, 2}, {{500, 300, 500, 299}, 2},
        {{-1, -1, 40, 40, 40, 40, 41, 40}, 4}, {{-1, 5, -1, 5, -1, 6}, 3},
    };
    for (const auto& [xy, ending] : scripts) {
        MouseGuard guard;
        int ended = 0;
        for (size_t i = 0; i < xy.size() && ended == 0; i += 2)
            ended = guard.EndsRun(xy[i], xy[i + 1]) ? static_cast<int>(i / 2 + 1) : 0;
        EXPECT_EQ(ended, ending) << xy.size() / 2 << " reports";
    }
}

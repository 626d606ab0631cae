#include "saver/MouseGuard.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

struct MouseCase {
    std::vector<std::pair<int, int>> reports;
    int endingReport;  // index of the first report that ends the run, -1 for none
};

class MouseGuardTest : public testing::TestWithParam<MouseCase> {};

TEST_P(MouseGuardTest, OnlyAMoveAwayFromTheFirstPositionEndsTheRun)
{
    MouseGuard guard;
    int ending = -1;
    for (int i = 0; i < static_cast<int>(GetParam().reports.size()) && ending == -1; ++i)
        if (guard.EndsRun(GetParam().reports[i].first, GetParam().reports[i].second))
            ending = i;
    EXPECT_EQ(ending, GetParam().endingReport);
}

INSTANTIATE_TEST_SUITE_P(Reports, MouseGuardTest, testing::ValuesIn(std::vector<MouseCase>{
    {{{500, 300}}, -1},                            // the first report never ends it
    {{{500, 300}, {500, 300}, {500, 300}}, -1},    // repeats of the first position
    {{{500, 300}, {501, 300}}, 1},                 // x alone differs
    {{{500, 300}, {500, 299}}, 1},                 // y alone differs
    {{{0, 0}, {0, 0}, {7, 7}}, 2},
    {{{-1, -1}, {40, 40}, {40, 40}}, -1},          // (-1, -1) records nothing
    {{{-1, -1}, {40, 40}, {41, 40}}, 2},
    {{{-1, 5}, {-1, 5}, {-1, 6}}, 2},              // only the pair (-1, -1) is "none"
}));

}  // namespace

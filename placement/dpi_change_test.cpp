#include "placement/dpi_change.h"

#include <gtest/gtest.h>

namespace {

// The answer to the system's question is the size as the new DPI limits it:
// 700 is more than 168 DPI allows (685), and 900 more than 192 DPI allows.
TEST(DpiChange, ScaledEdgeIsTheSizeLimitedForTheNewDpi) {
    const struct {
        int size;
        unsigned dpi;
        int edge;
    } rows[] = {
        {320, 96, 320},   {320, 0, 320},    {320, 120, 400},  {321, 120, 401},  {900, 144, 1200},
        {700, 168, 1199}, {900, 192, 1200}, {600, 192, 1200}, {160, 720, 1200}, {900, 72, 900},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ScaledEdge(row.size, row.dpi), row.edge) << row.size << " at " << row.dpi;
}

TEST(DpiChange, TheSuggestedRectangleIsTakenAsItIsWhenItIsTheClocksSize) {
    const struct {
        ScreenRect suggested;
        int width;
        ScreenPoint topLeft;
    } rows[] = {
        {{100, 100, 1300, 1300}, 1200, {100, 100}},
        {{-1500, -300, -300, 900}, 1200, {-1500, -300}}, // a monitor left of and above the primary
        {{2000, 37, 2320, 357}, 320, {2000, 37}},
        // Not the clock's size (the system scaled it without asking): the
        // clock keeps its own size about the rectangle's centre.
        {{100, 100, 1100, 1100}, 1200, {0, 0}},
        {{100, 100, 1100, 1100}, 900, {150, 150}},
        {{0, 0, 1200, 1000}, 1200, {0, -100}},
        {{-1001, -1001, -1, -1}, 1000, {-1001, -1001}},
        {{-1001, -1001, 0, 0}, 1000, {-1000, -1000}},
    };
    for (const auto& row : rows) {
        const ScreenPoint at = PlaceInSuggested(row.suggested, row.width);
        EXPECT_EQ(at, row.topLeft) << row.suggested.left << "," << row.suggested.top << " width " << row.width
                                   << ": " << at.x << "," << at.y;
    }
}

} // namespace

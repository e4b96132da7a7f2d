#include "placement/wheel_step.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct WheelCase {
    const char* what;
    double carry;            // left over before the first message
    std::vector<int> deltas; // one wheel message each
    bool shift;
    std::vector<int> steps; // the size step each message asks for
};

TEST(WheelStep, NotchesAndFineWheelsAddUpWithTheirFractionCarried) {
    const WheelCase cases[] = {
        {"one notch up, down", 0, {120, -120}, false, {12, -12}},
        {"one notch with Shift", 0, {120, -120}, true, {2, -2}},
        {"halves with Shift", 0, {30, 30, 30, 30}, true, {0, 1, 0, 1}},
        // 1/3 + 1/3 + 1/3 in doubles is just below 1 and truncates to 0.
        {"thirds with Shift", 0, {40, 40, 40, 40, 40, 40}, true, {0, 1, 0, 1, 1, 0}},
        {"a fraction keeps its sign", -0.5, {10}, false, {0}},
        {"a big free-spinning delta", 0, {1200}, false, {120}},
    };
    for (const WheelCase& c : cases) {
        SCOPED_TRACE(c.what);
        double carry = c.carry;
        std::vector<int> steps;
        for (int delta : c.deltas)
            steps.push_back(WheelStep(carry, delta, c.shift));
        EXPECT_EQ(steps, c.steps);
    }
}

TEST(WheelStep, LeftoverAndTurnsOfDirection) {
    double carry = -0.5;
    EXPECT_EQ(WheelStep(carry, 60, true), 0); // -0.5 + 1.0
    EXPECT_DOUBLE_EQ(carry, 0.5);
    EXPECT_EQ(WheelStep(carry, -120, false), -11); // 0.5 - 12 truncates toward zero
    EXPECT_DOUBLE_EQ(carry, -0.5);
}

} // namespace

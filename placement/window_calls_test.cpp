#include "placement/window_calls.h"

#include <gtest/gtest.h>

namespace {

const DpiChange TO_192{192, {100, 100, 1300, 1300}};
const DpiChange TO_96{96, {1920, 0, 2520, 600}};

TEST(WindowCalls, AChangeInsideNestedCallsWaitsForTheOutermostAndTheLatestCounts) {
    WindowCalls calls;
    EXPECT_FALSE(DeferDpiChange(calls, TO_192)); // no call under way: handled at once
    EXPECT_FALSE(calls.pending);

    EnterWindowCall(calls);
    EnterWindowCall(calls);
    EXPECT_TRUE(DeferDpiChange(calls, TO_192));
    EXPECT_TRUE(DeferDpiChange(calls, TO_96));
    EXPECT_EQ(LeaveWindowCall(calls), std::nullopt); // the outer call still runs
    EXPECT_TRUE(DeferDpiChange(calls, TO_192));
    EXPECT_EQ(LeaveWindowCall(calls), TO_192);

    // Handed back once; the next change is handled at once again.
    EXPECT_EQ(LeaveWindowCall(calls), std::nullopt);
    EXPECT_EQ(calls.depth, 0);
    EXPECT_FALSE(DeferDpiChange(calls, TO_96));

    EnterWindowCall(calls); // a call without a change hands back nothing
    EXPECT_EQ(LeaveWindowCall(calls), std::nullopt);
}

} // namespace

#include "placement/sight.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using enum SightNotice;
constexpr SightChange NONE = SightChange::None, LOST = SightChange::Lost, BACK = SightChange::Regained;

// Sequences of the system's notices and what each one changes: the clock comes
// back into sight only when the last reason that hid it is gone.
TEST(Sight, ComesBackOnlyWhenNothingHidesItAnyMore) {
    struct Step {
        SightNotice notice;
        SightChange change;
    };
    const std::vector<std::vector<Step>> runs = {
        {{Lock, LOST}, {Lock, NONE}, {Unlock, BACK}, {Unlock, NONE}},
        {{DisplayOff, LOST}, {DisplayDimmed, BACK}, {DisplayOn, NONE}, {DisplayOff, LOST}, {DisplayOn, BACK}},
        // Locked, then the display goes off; unlocking alone shows nothing yet.
        {{Lock, LOST}, {DisplayOff, NONE}, {Unlock, NONE}, {DisplayOn, BACK}},
        // A remote session: disconnected while locked, connected and unlocked again.
        {{Lock, LOST}, {Disconnect, NONE}, {Connect, NONE}, {Unlock, BACK}},
        // An unlock or a connect without its pair (a notice missed at start) changes nothing.
        {{Unlock, NONE}, {Connect, NONE}, {DisplayOn, NONE}, {Disconnect, LOST}, {Connect, BACK}},
    };
    for (std::size_t r = 0; r < runs.size(); ++r) {
        Sight sight;
        for (std::size_t i = 0; i < runs[r].size(); ++i)
            EXPECT_EQ(Notice(sight, runs[r][i].notice), runs[r][i].change) << "run " << r << " step " << i;
        EXPECT_TRUE(InSight(sight)) << "run " << r;
    }
}

} // namespace

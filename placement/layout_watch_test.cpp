#include "placement/layout_watch.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Polls every half second; a notice or a new fingerprint settles 2 s after the
// fingerprint stops changing, a failed query counts as still changing.
TEST(LayoutWatch, SettlesTwoSecondsAfterTheLastChange) {
    struct Poll {
        std::uint64_t at;
        std::optional<std::uint64_t> fingerprint;
        bool place;
    };
    struct Case {
        const char* what;
        std::optional<std::uint64_t> noticeAt;
        std::vector<Poll> polls;
    };
    const Case cases[] = {
        {"nothing changes", std::nullopt, {{0, 7, false}, {5000, 7, false}}},
        {"poll finds a new layout",
         std::nullopt,
         {{0, 8, false}, {1000, 8, false}, {2000, 8, true}, {4000, 8, false}}},
        {"flickering layout waits",
         std::nullopt,
         {{0, 8, false}, {1500, 9, false}, {3000, 9, false}, {3500, 9, true}}},
        {"failed queries wait",
         std::nullopt,
         {{0, std::nullopt, false}, {500, std::nullopt, false}, {1000, 8, false}, {3000, 8, true}}},
        {"same layout after a notice", 0, {{500, 7, false}, {2500, 7, true}, {5000, 7, false}}},
        {"changed back before settling", std::nullopt, {{0, 8, false}, {500, 7, false}, {2500, 7, false}}},
    };
    for (const Case& c : cases) {
        LayoutWatch watch;
        watch.settled = 7;
        if (c.noticeAt) NoticeChange(watch, *c.noticeAt);
        for (const Poll& poll : c.polls) {
            EXPECT_EQ(PollLayout(watch, poll.fingerprint, poll.at), poll.place)
                << c.what << " at " << poll.at;
            if (poll.place) {
                EXPECT_EQ(watch.settled, *poll.fingerprint) << c.what;
            }
        }
        EXPECT_EQ(PollInterval(watch), LAYOUT_POLL_MS) << c.what;
    }
}

} // namespace

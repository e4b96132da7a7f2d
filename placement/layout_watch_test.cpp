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

namespace {

// After a settle: another layout always takes its place; the same one only when
// the user has not begun a drag or resize since the notice (ties go to the notice).
TEST(LayoutWatch, PlacesOnSettleUnlessTheUserPlacedSince) {
    struct Case {
        std::uint64_t layout, current, userPlacedAt, noticedAt;
        bool place;
    };
    const Case cases[] = {
        {5, 7, 900, 100, true},  // another layout, even with the user's newer placing
        {7, 7, 900, 100, false}, // the same layout: the user's drag or resize wins
        {7, 7, 100, 900, true},  // placed before the notice: back to the remembered place
        {7, 7, 500, 500, true},  {7, 7, 0, 0, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlaceOnSettle(c.layout, c.current, c.userPlacedAt, c.noticedAt), c.place)
            << c.layout << " " << c.current << " " << c.userPlacedAt << " " << c.noticedAt;
}

} // namespace

#include "settings/startup_approved.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

using Bytes = std::vector<std::byte>;

Bytes Of(std::initializer_list<int> values) {
    Bytes bytes;
    for (const int v : values)
        bytes.push_back(static_cast<std::byte>(v));
    return bytes;
}

Bytes Of(const StartupApproval& value) {
    return Bytes(value.begin(), value.end());
}

// Values seen from the shell and what they must read and turn into.
TEST(StartupApproved, SwitchAndItsRepairOverATableOfValues) {
    const struct {
        Bytes stored;
        bool off;
        Bytes enabled;
        const char* what;
    } cases[] = {
        {Of({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), false, Of({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "02 on"},
        {Of({6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), false, Of({6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "06 on"},
        {Of({3, 0, 0, 0, 0x17, 0x79, 0xBD, 0x01, 0x17, 0xD9, 0xD1, 0x01}), true,
         Of({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "03 off with its time"},
        {Of({7, 0, 0, 0, 0x71, 0xC9, 0x33, 0xAE, 0x16, 0xD9, 0xD1, 0x01}), true,
         Of({6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "07 off keeps the 04 bit"},
        // Only the lowest bit of the first byte switches; higher status bytes are kept.
        {Of({0x63, 0x60, 0x60, 0x60, 0x62, 0xF9, 0x8C, 0x76, 0xC5, 0x3B, 0xD9, 0x91}), true,
         Of({0x62, 0x60, 0x60, 0x60, 0, 0, 0, 0, 0, 0, 0, 0}), "odd status with other bits"},
        {Of({2, 0, 0, 0, 0x17, 0x79, 0xBD, 0x01, 0x17, 0xD9, 0xD1, 0x01}), false,
         Of({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "even status with a stale time"},
        // Short and overlong data: the first byte decides; a status is kept only whole.
        {{}, false, Of({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "empty"},
        {Of({3}), true, Of({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "one odd byte"},
        {Of({7, 0, 0}), true, Of({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "three bytes"},
        {Of({5, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}), true, Of({4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
         "overlong"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ApprovalSwitchesOff(c.stored), c.off) << c.what;
        const Bytes enabled = Of(EnabledApproval(c.stored));
        EXPECT_EQ(enabled, c.enabled) << c.what;
        // What is written back reads as on, and repairing it again changes nothing.
        EXPECT_FALSE(ApprovalSwitchesOff(enabled)) << c.what;
        EXPECT_EQ(Of(EnabledApproval(enabled)), enabled) << c.what;
    }
}

} // namespace

#include "settings/startup_approved.h"

#include <algorithm>

namespace {

constexpr std::size_t STATUS_BYTES = 4;
constexpr std::byte SWITCHED_OFF{0x01};
constexpr std::byte PLAIN_STATUS{0x02};

} // namespace

bool ApprovalSwitchesOff(std::span<const std::byte> stored) {
    return !stored.empty() && (stored[0] & SWITCHED_OFF) != std::byte{0};
}

StartupApproval EnabledApproval(std::span<const std::byte> stored) {
    StartupApproval value{};
    if (stored.size() < STATUS_BYTES) {
        value[0] = PLAIN_STATUS;
        return value;
    }
    std::copy_n(stored.begin(), STATUS_BYTES, value.begin());
    value[0] &= ~SWITCHED_OFF;
    return value;
}

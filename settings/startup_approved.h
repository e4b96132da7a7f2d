// The shell's own switch for an autostart entry: Task Manager's and Settings'
// "Startup apps" leave the Run value alone and keep a binary value of the same
// name under Explorer\StartupApproved\Run. Its twelve bytes are a 32-bit
// status, low byte first, then a FILETIME of when the entry was switched off
// (zero while it is on). The status's lowest bit is the switch: clear (02, 06)
// starts the entry at logon, set (03, 07) skips it. Portable.
#pragma once

#include <array>
#include <cstddef>
#include <span>

inline constexpr std::size_t STARTUP_APPROVED_BYTES = 12;
using StartupApproval = std::array<std::byte, STARTUP_APPROVED_BYTES>;

// Whether `stored`, the value's data, switches the entry off: its first byte
// has the lowest bit set. Data of any length is read by its first byte alone,
// so a short or overlong value decides as the shell reads it; empty data
// switches nothing off.
bool ApprovalSwitchesOff(std::span<const std::byte> stored);

// The value that switches the entry on again, made from what is stored: the
// status's other bits are kept (the shell's 06 stays 06 apart from the switch)
// and the time is cleared. Without a whole status to keep (fewer than four
// bytes) the status is 02, what the shell writes for a plain entry.
StartupApproval EnabledApproval(std::span<const std::byte> stored);

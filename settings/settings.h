// The settings record: every user choice, read and written directly by all
// subsystems on the one UI thread. Its initial value is the compiled defaults.
#pragma once

#include <climits>
#include <cstdint>

struct Settings {
    std::int32_t Size = 320;               // edge length in logical pixels (96 DPI); 160..900 when read
    std::int32_t X = INT_MIN;              // window's left edge in screen pixels; INT_MIN: never placed
    std::int32_t Y = INT_MIN;              // window's top edge; INT_MIN: never placed
    std::int32_t ReflectionStrength = 100; // crystal strength in percent; 50..150 when read
    bool AlwaysOnTop = false;
    bool LockPosition = false;
    bool Seconds = true;
    bool Smooth = true;
    bool Crystal = true;
    bool Shadows = true;

    friend bool operator==(const Settings&, const Settings&) = default;
};

// The compiled defaults, as a program that never read a file has them.
inline constexpr Settings DEFAULT_SETTINGS{};

extern Settings cfg;

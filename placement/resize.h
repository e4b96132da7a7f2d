// Resizing the clock about its centre in a short eased animation, and keeping
// it inside the work area of its monitor.
#pragma once

#include <cstdint>

#include "placement/clock_window.h"
#include "placement/geometry.h"
#include "settings/settings.h"

inline constexpr double ANIMATION_MS = 130;    // length of a resize animation
inline constexpr unsigned FRAME_MS = 16;       // animation frame timer
inline constexpr unsigned SAVE_DELAY_MS = 400; // save after the last resize request

struct ResizeMotion {
    double from = 0;         // window width in pixels when the animation (re)started
    double to = 0;           // target width in pixels
    std::uint64_t start = 0; // start time in milliseconds
    bool active = false;     // an animated resize is under way
};

// Everything a resize works on: the settings (whose Size it changes), the
// clock window's DPI, the doubled centre of the current resize gesture
// ((left + right, top + bottom) of the window when it began) and the motion.
struct Sizing {
    ClockWindow& window;
    Settings& settings;
    unsigned dpi;
    ScreenPoint& resizeCenter2;
    ResizeMotion& resizeMotion;
};

// The largest size whose clock fits the work area at `dpi`: the smaller edge
// of the area in logical pixels (MulDiv rounding), never below 160.
int MonitorCap(const ScreenRect& workArea, unsigned dpi);

// The width of an animation frame `elapsed` ms after `motion` started,
// smoothstep-eased and rounded to the nearest pixel (halves away from zero).
int EasedWidth(const ResizeMotion& motion, double elapsed);

// Asks for a new size: stores the limited value in the settings at once,
// animates toward it about the gesture's centre and arms the delayed save.
void Resize(Sizing sizing, int size);

// Top-left corner of a clock `width` pixels wide centred on the gesture's
// centre, kept inside the work area.
ScreenPoint ResizePosition(Sizing sizing, int width);

// One animation frame; ends the animation when its time is up.
void TickResize(Sizing sizing);

// Ends a running animation at once with a full-quality frame at the final size.
void FinishResize(Sizing sizing);

// Stops a running animation where it is, without a final frame.
void StopResize(Sizing sizing);

// Fits the size to the monitor, places the clock inside its work area
// (centred when `center`), applies the always-on-top order and draws.
void KeepVisible(Sizing sizing, bool center);

// What sizing, placing and ticking the clock need of the window system: the
// clock window's rectangle, the work area near it, a millisecond clock, the
// local time of day, whether anybody can see the clock, the clock window's
// timers, its z-order and the layered update that draws it. The program's window system supplies one; tests
// supply a fake.
#pragma once

#include <cstdint>

#include "placement/geometry.h"

// Timers of the clock window.
inline constexpr int TICK_TIMER = 1;      // the clock tick
inline constexpr int SAVE_TIMER = 2;      // saves the settings after the last resize request
inline constexpr int ANIMATION_TIMER = 3; // one resize animation frame
inline constexpr int LAYOUT_TIMER = 4;    // polls the monitor layout and waits for it to settle
inline constexpr int TRAY_TIMER = 5;      // tries again to add a notification icon the shell refused
inline constexpr int SESSION_TIMER = 6;   // asks for the session's notices again early at logon

// What the shell asks of Windows early at logon (the notification icon, the
// session's notices) may be refused while its services start: it is asked
// again this often, for two minutes.
inline constexpr unsigned LOGON_RETRY_MS = 2000;
inline constexpr int LOGON_RETRIES = 60;

class ClockWindow {
  public:
    // The clock window's rectangle in screen pixels.
    virtual ScreenRect Rect() = 0;
    // The work area of the monitor nearest to `rect`.
    virtual ScreenRect WorkArea(const ScreenRect& rect) = 0;
    // Milliseconds of a steady clock (the system tick count).
    virtual std::uint64_t Milliseconds() = 0;
    // Milliseconds since midnight of the local clock that frames are drawn for.
    virtual std::uint32_t LocalTimeOfDay() = 0;
    // False while nobody can see the clock (a locked or disconnected session,
    // the display off): there is no tick to draw for.
    virtual bool InSight() = 0;
    // (Re)starts timer `id` at `interval` milliseconds; stops it.
    virtual void StartTimer(int id, unsigned interval) = 0;
    virtual void StopTimer(int id) = 0;
    // Topmost or not, without moving, sizing or activating the window.
    virtual void SetTopmost(bool topmost) = 0;
    // Draws the frame for now `width` pixels wide and puts the window there in
    // one layered update; `fast` asks for the animation-quality scaling.
    virtual bool Present(int width, ScreenPoint topLeft, bool fast) = 0;
    // The size changed: refresh what shows it (the size dialog's label).
    virtual void SizeShown() = 0;

  protected:
    ~ClockWindow() = default;
};

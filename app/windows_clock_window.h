// The clock window as the placement rules see it, on Windows.
#pragma once

#include <windows.h>

#include "placement/clock_window.h"
#include "settings/settings.h"

class WindowsClockWindow final : public ClockWindow {
  public:
    // `settings` gives the frame's options; `sizeLabel` (may be null) shows the size at `dpi`;
    // `inSight` is whether anybody can see the clock (the size dialog's lookups need not say).
    WindowsClockWindow(HWND window, const Settings& settings, unsigned dpi, HWND sizeLabel,
                       bool inSight = true)
        : window_(window), settings_(settings), dpi_(dpi), sizeLabel_(sizeLabel), inSight_(inSight) {}

    ScreenRect Rect() override;
    ScreenRect WorkArea(const ScreenRect& rect) override;
    std::uint64_t Milliseconds() override;
    std::uint32_t LocalTimeOfDay() override;
    bool InSight() override { return inSight_; }
    void StartTimer(int id, unsigned interval) override;
    void StopTimer(int id) override;
    void SetTopmost(bool topmost) override;
    bool Present(int width, ScreenPoint topLeft, bool fast) override;
    void SizeShown() override;

  private:
    HWND window_;
    const Settings& settings_;
    unsigned dpi_;
    HWND sizeLabel_;
    bool inSight_;
};

// The clock window as the placement rules see it, on GTK.
#pragma once

#include <gtk/gtk.h>

#include "placement/clock_window.h"
#include "settings/settings.h"

class GtkClockWindow final : public ClockWindow {
  public:
    // `settings` gives the frame's options; `sizeLabel` (may be null) shows the size at `dpi`.
    GtkClockWindow(GtkWidget* window, const Settings& settings, unsigned dpi, GtkWidget* sizeLabel)
        : window_(window), settings_(settings), dpi_(dpi), sizeLabel_(sizeLabel) {}

    ScreenRect Rect() override;
    ScreenRect WorkArea(const ScreenRect& rect) override;
    std::uint64_t Milliseconds() override;
    std::uint32_t LocalTimeOfDay() override;
    // The Linux clock hears of no locked session or display power: always seen.
    bool InSight() override { return true; }
    void StartTimer(int id, unsigned interval) override;
    void StopTimer(int id) override;
    void SetTopmost(bool topmost) override;
    bool Present(int width, ScreenPoint topLeft, bool fast) override;
    void SizeShown() override;

  private:
    int Scale() const;

    GtkWidget* window_;
    const Settings& settings_;
    unsigned dpi_;
    GtkWidget* sizeLabel_;
};

// The window's scale factor: how many screen pixels make one of GDK's.
int WindowScale(GtkWidget* window);

// Shows the size text for `size` at `dpi` in `label`; nothing without one.
void ShowSizeLabel(GtkWidget* label, int size, unsigned dpi);

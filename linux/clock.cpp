#include "linux/clock.h"

#include "linux/globals.h"
#include "linux/gtk_clock_window.h"
#include "linux/layout_memory.h"
#include "linux/settings_store.h"
#include "linux/surface.h"
#include "linux/timers.h"
#include "placement/dpi.h"
#include "placement/schedule.h"
#include "placement/size_model.h"
#include "settings/settings.h"

ScreenPoint resizeCenter2;
ResizeMotion resizeMotion;

namespace {

// The user's place per monitor layout and the watch on the layout.
LayoutMemory layoutMemory;

// Runs a placement rule on the clock window, the settings, the DPI and the
// resize state of this program.
template <class Rule> auto OnTheClock(Rule rule) {
    GtkClockWindow window(clockWindow, cfg, dpi, sizeLabel);
    return rule(Sizing{window, cfg, dpi, resizeCenter2, resizeMotion});
}

} // namespace

bool Present(int size, ScreenPoint topLeft, bool fast) {
    return PresentFrame(clockWindow, cfg, size, topLeft, fast, WindowScale(clockWindow));
}

bool Render() {
    const ScreenRect rect = ClockRect();
    return Present(Pixels(cfg.Size, dpi), {rect.left, rect.top}, false);
}

bool SaveSettings() {
    if (clockWindow) {
        const ScreenRect rect = ClockRect();
        cfg.X = rect.left;
        cfg.Y = rect.top;
    }
    return SaveSettingsFile(settingsPath, cfg);
}

void Schedule() {
    GtkClockWindow window(clockWindow, cfg, dpi, sizeLabel);
    Schedule(window, cfg, dpi);
}

bool Tick(bool showing) {
    GtkClockWindow window(clockWindow, cfg, dpi, sizeLabel);
    return Tick(window, cfg, dpi, showing);
}

void Resize(int size) {
    UserPlacing();
    OnTheClock([size](Sizing sizing) { Resize(sizing, size); });
}

void TickResize() {
    OnTheClock([](Sizing sizing) { TickResize(sizing); });
}

void FinishResize() {
    OnTheClock([](Sizing sizing) { FinishResize(sizing); });
}

void StopResize() {
    OnTheClock([](Sizing sizing) { StopResize(sizing); });
}

void KeepVisible(bool center) {
    OnTheClock([center](Sizing sizing) { KeepVisible(sizing, center); });
}

bool ShowClock() {
    visible = true;
    gtk_widget_show(clockWindow);
    KeepVisible(false);
    return Render();
}

void UpdateLabel() {
    ShowSizeLabel(sizeLabel, cfg.Size, dpi);
}

void StartLayoutMemory() {
    StartLayoutMemory(layoutMemory, LayoutMemoryPath(settingsPath), clockWindow, cfg, dpi);
}

void RememberPlace() {
    RememberPlace(layoutMemory, clockWindow, cfg.Size);
}

void PositionSaved() {
    PositionSaved(layoutMemory, clockWindow);
}

void UserPlacing() {
    UserPlacing(layoutMemory, Milliseconds());
}

void NoticeLayoutChange() {
    NoticeLayoutChange(layoutMemory, Milliseconds());
}

void WatchLayout() {
    WatchLayout(layoutMemory, clockWindow, cfg, dpi, Milliseconds());
}

#include "app/clock.h"

#include "app/globals.h"
#include "app/layout_memory.h"
#include "app/sight_watch.h"
#include "app/window_call.h"
#include "app/windows_clock_window.h"
#include "placement/dpi.h"
#include "placement/placement_memory_file.h"
#include "placement/schedule.h"
#include "placement/size_label_window.h"
#include "placement/size_model.h"
#include "presentation/artwork.h"
#include "presentation/present.h"
#include "settings/settings.h"
#include "settings/settings_file.h"

ScreenPoint resizeCenter2;
ResizeMotion resizeMotion;

namespace {

// The user's place per monitor layout and the watch on the layout.
LayoutMemory layoutMemory;

// Who can see the clock.
SightWatch sightWatch;

// Runs a placement rule on the clock window, the settings, the DPI and the
// resize state of this program. A DPI change sent from inside one of its
// window calls is handled once the whole rule has run.
template <class Rule> auto OnTheClock(Rule rule) {
    const WindowCall call;
    WindowsClockWindow window(windowHandle, cfg, dpi, sizeLabel, InSight(sightWatch.sight));
    return rule(Sizing{window, cfg, dpi, resizeCenter2, resizeMotion});
}

} // namespace

std::unique_ptr<Gdiplus::Bitmap> LoadPng(int id) {
    return LoadPng(instance, id);
}

bool Present(int size, POINT topLeft, bool fast) {
    const WindowCall call;
    return PresentFrame(windowHandle, cfg, size, topLeft, fast);
}

bool Render() {
    RECT rect{};
    GetWindowRect(windowHandle, &rect);
    return Present(Pixels(cfg.Size, dpi), POINT{rect.left, rect.top}, false);
}

bool SaveSettings() {
    return SaveSettings(windowHandle);
}

void Schedule() {
    WindowsClockWindow window(windowHandle, cfg, dpi, sizeLabel, InSight(sightWatch.sight));
    Schedule(window, cfg, dpi);
}

bool Tick(bool showing) {
    WindowsClockWindow window(windowHandle, cfg, dpi, sizeLabel, InSight(sightWatch.sight));
    return Tick(window, cfg, dpi, showing);
}

void Resize(int size) {
    UserPlacing();
    OnTheClock([size](Sizing sizing) { Resize(sizing, size); });
}

POINT ResizePosition(int width) {
    const ScreenPoint at = OnTheClock([width](Sizing sizing) { return ResizePosition(sizing, width); });
    return POINT{at.x, at.y};
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

void UpdateLabel() {
    ShowSizeLabel(sizeLabel, cfg.Size, dpi);
}

void StartLayoutMemory() {
    StartLayoutMemory(layoutMemory, PlacementMemoryPath(iniPath), windowHandle, cfg, dpi);
}

void RememberPlace() {
    RememberPlace(layoutMemory, windowHandle, cfg.Size);
}

void PositionSaved() {
    PositionSaved(layoutMemory);
}

void UserPlacing() {
    UserPlacing(layoutMemory, GetTickCount64());
}

void NoticeLayoutChange() {
    NoticeLayoutChange(layoutMemory, windowHandle, GetTickCount64());
}

void WatchLayout() {
    WatchLayout(layoutMemory, windowHandle, cfg, dpi, GetTickCount64());
}

namespace {

// Schedule stops the tick while nobody can see the clock and starts it again
// when somebody can.
void ApplySight(SightChange change) {
    if (change == SightChange::None) return;
    if (change == SightChange::Regained) {
        // The screen may have shown anything meanwhile: a whole frame first.
        ForgetShownFrame();
        Render();
    }
    Schedule();
}

} // namespace

void StartSightWatch() {
    StartSightWatch(sightWatch, windowHandle);
}

void RetrySessionNotices() {
    RetrySessionNotices(sightWatch, windowHandle);
}

void StopSightWatch() {
    StopSightWatch(sightWatch, windowHandle);
    sightWatch.sight = {};
}

void NoticeSessionChange(WPARAM event) {
    ApplySight(NoticeSession(sightWatch, event));
}

void NoticePowerSetting(const POWERBROADCAST_SETTING& setting) {
    ApplySight(NoticePowerSetting(sightWatch, setting));
}

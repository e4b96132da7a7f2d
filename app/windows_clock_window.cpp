#include "app/windows_clock_window.h"

#include "app/timer_period.h"
#include "app/window_call.h"
#include "placement/size_label_window.h"
#include "presentation/present.h"

ScreenRect WindowsClockWindow::Rect() {
    RECT rect{};
    GetWindowRect(window_, &rect);
    return {rect.left, rect.top, rect.right, rect.bottom};
}

ScreenRect WindowsClockWindow::WorkArea(const ScreenRect& rect) {
    const RECT area{rect.left, rect.top, rect.right, rect.bottom};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromRect(&area, MONITOR_DEFAULTTONEAREST), &info))
        return {info.rcWork.left, info.rcWork.top, info.rcWork.right, info.rcWork.bottom};
    // While monitors come and go the query can fail: the whole desktop is then
    // the safest area to keep the clock in (never a 0 x 0 one at the origin).
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
            top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

std::uint64_t WindowsClockWindow::Milliseconds() {
    return GetTickCount64();
}

std::uint32_t WindowsClockWindow::LocalTimeOfDay() {
    SYSTEMTIME now{};
    GetLocalTime(&now); // the clock the frames are drawn for
    return ((now.wHour * 60u + now.wMinute) * 60u + now.wSecond) * 1000u + now.wMilliseconds;
}

// The animation's frames need a finer system timer than the default, and only
// while they run.
void WindowsClockWindow::StartTimer(int id, unsigned interval) {
    if (id == ANIMATION_TIMER) HoldFineTimerPeriod();
    SetTimer(window_, id, interval, nullptr);
}

void WindowsClockWindow::StopTimer(int id) {
    KillTimer(window_, id);
    if (id == ANIMATION_TIMER) ReleaseFineTimerPeriod();
}

void WindowsClockWindow::SetTopmost(bool topmost) {
    const WindowCall call;
    SetWindowPos(window_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

bool WindowsClockWindow::Present(int width, ScreenPoint topLeft, bool fast) {
    const WindowCall call;
    return PresentFrame(window_, settings_, width, POINT{topLeft.x, topLeft.y}, fast);
}

void WindowsClockWindow::SizeShown() {
    ShowSizeLabel(sizeLabel_, settings_.Size, dpi_);
}

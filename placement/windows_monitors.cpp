#include "placement/windows_monitors.h"

#include <windows.h>

#include <shellscalingapi.h>

namespace {

struct Enumeration {
    std::vector<Monitor> monitors;
    bool failed = false;
};

ScreenRect FromRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

BOOL CALLBACK AddMonitor(HMONITOR handle, HDC, LPRECT, LPARAM data) {
    auto& enumeration = *reinterpret_cast<Enumeration*>(data);
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    UINT dpiX = 0, dpiY = 0;
    if (!GetMonitorInfoW(handle, &info) ||
        FAILED(GetDpiForMonitor(handle, MDT_EFFECTIVE_DPI, &dpiX, &dpiY))) {
        enumeration.failed = true;
        return FALSE;
    }
    const std::wstring device = info.szDevice;
    enumeration.monitors.push_back({std::u16string(device.begin(), device.end()), FromRect(info.rcMonitor),
                                    FromRect(info.rcWork), dpiX, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    return TRUE;
}

} // namespace

std::optional<MonitorLayout> ReadMonitorLayout() {
    Enumeration enumeration;
    if (!EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&enumeration)) ||
        enumeration.failed || enumeration.monitors.empty())
        return std::nullopt;
    return MakeLayout(std::move(enumeration.monitors));
}

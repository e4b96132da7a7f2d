#include "linux/monitors.h"

#include <string>

namespace {

ScreenRect Scaled(const GdkRectangle& r, int scale) {
    return {r.x * scale, r.y * scale, (r.x + r.width) * scale, (r.y + r.height) * scale};
}

} // namespace

std::vector<Monitor> DisplayMonitors(GdkDisplay* display, int scale) {
    std::vector<Monitor> monitors;
    const int count = gdk_display_get_n_monitors(display);
    for (int i = 0; i < count; ++i) {
        GdkMonitor* monitor = gdk_display_get_monitor(display, i);
        GdkRectangle whole{}, work{};
        gdk_monitor_get_geometry(monitor, &whole);
        gdk_monitor_get_workarea(monitor, &work);
        const char* model = gdk_monitor_get_model(monitor);
        const std::string name = model ? model : "monitor " + std::to_string(i);
        Monitor m;
        m.device = std::u16string(name.begin(), name.end());
        m.rect = Scaled(whole, scale);
        m.workArea = Scaled(work, scale);
        m.dpi = 96u * static_cast<unsigned>(gdk_monitor_get_scale_factor(monitor));
        m.primary = gdk_monitor_is_primary(monitor);
        monitors.push_back(m);
    }
    return monitors;
}

ScreenRect WorkAreaNear(GdkDisplay* display, int scale, const ScreenRect& rect) {
    const MonitorLayout layout = MakeLayout(DisplayMonitors(display, scale));
    const int nearest = NearestMonitor(layout, rect);
    if (nearest >= 0) return layout.monitors[static_cast<std::size_t>(nearest)].workArea;
    int x = 0, y = 0, width = 0, height = 0;
    gdk_window_get_geometry(gdk_screen_get_root_window(gdk_display_get_default_screen(display)), &x, &y,
                            &width, &height);
    return {0, 0, width * scale, height * scale};
}

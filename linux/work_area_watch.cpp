#include "linux/work_area_watch.h"

// Last: Xlib's macros (None, Status, Bool) stay out of everything above.
#include <gdk/gdkx.h>

namespace {

void (*onChange)() = nullptr;
Atom workArea = 0;

GdkFilterReturn OnRootEvent(GdkXEvent* native, GdkEvent*, gpointer) {
    const auto* event = static_cast<const XEvent*>(native);
    if (event->type == PropertyNotify && event->xproperty.atom == workArea && onChange) onChange();
    return GDK_FILTER_CONTINUE;
}

} // namespace

void WatchWorkArea(GdkScreen* screen, void (*changed)()) {
    GdkDisplay* display = gdk_screen_get_display(screen);
    if (!GDK_IS_X11_DISPLAY(display)) return;
    onChange = changed;
    workArea = gdk_x11_get_xatom_by_name_for_display(display, "_NET_WORKAREA");
    GdkWindow* root = gdk_screen_get_root_window(screen);
    gdk_window_set_events(root,
                          static_cast<GdkEventMask>(gdk_window_get_events(root) | GDK_PROPERTY_CHANGE_MASK));
    gdk_window_add_filter(root, OnRootEvent, nullptr);
}

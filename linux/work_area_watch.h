// The work area's changes without a change of monitors (a panel added, moved or
// resized): the window manager rewrites the root window's _NET_WORKAREA.
#pragma once

#include <gtk/gtk.h>

// Calls `changed` after each rewrite of the work area on `screen`.
void WatchWorkArea(GdkScreen* screen, void (*changed)());

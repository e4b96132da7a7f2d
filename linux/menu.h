// The context menu on GTK, built from the menu table (app/menu_items.h) for the
// moment it opens; its commands run through the same table.
#pragma once

#include <gtk/gtk.h>

// A menu of the table's items, check marks and submenu for the state now.
GtkWidget* BuildMenu();

// Opens a fresh menu at the pointer (`event`: the right-click) or, without an
// event (asked for from the keyboard), at the clock.
void PopUpMenu(const GdkEvent* event);

// Carries out command `id` as the menu does: the change, the redraw, the save.
void RunMenuCommand(unsigned id);

// Called after a command ran, so that other views of the state (the
// notification icon's menu) follow it.
using StateChanged = void (*)();
void SetStateChanged(StateChanged handler);

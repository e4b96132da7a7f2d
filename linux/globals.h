// The Linux shell's globals, shared by its parts; all used on the one GTK thread.
// Only the entry point, the signal handlers and the bridges of clock.h read
// them; the functions those call take what they need as parameters.
#pragma once

#include <gtk/gtk.h>

#include <string>

extern GtkApplication* application; // the one application, set first thing in main
extern GtkWidget* clockWindow;      // the clock window, null until it is created
extern bool visible;                // the user's show/hide choice
extern std::string settingsPath;    // the settings file; empty: nothing is saved

// The size dialog and its controls; all null while the dialog is closed.
extern GtkWidget* sizeWindow;
extern GtkWidget* sizeSlider;
extern GtkWidget* sizeLabel;

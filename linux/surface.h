// The clock window's picture: every frame is drawn into one image surface the
// window paints from; a steady tick copies only the columns its hands change
// and puts them on the window straight from memory the X server shares, or
// where it shares none has GTK repaint them. The window's place and size
// follow each frame.
#pragma once

#include <gtk/gtk.h>

#include "placement/geometry.h"
#include "renderer/renderer.h"
#include "settings/settings.h"

// The local time of day the frames are drawn for, read without allocating
// (every tick reads it).
velmor::Time LocalTime();

// Where the clock window is, in screen pixels: where the last frame put it, or
// where the window system moved it since (a drag).
ScreenRect ClockRect();
void NoteClockPosition(ScreenPoint topLeft);

// Draws the frame for now at `size` pixels (clamped into 160..1200) with the
// options of `settings`, and puts `window` at `topLeft` (screen pixels) at
// that size; `scale` screen pixels make one of GDK's. False without a window
// or renderer, or when the surface cannot be made.
bool PresentFrame(GtkWidget* window, const Settings& settings, int size, ScreenPoint topLeft, bool fast,
                  int scale);

// The window's "draw" handler: the surface as it is, alpha and all.
gboolean PaintFrame(GtkWidget* window, cairo_t* cr, gpointer);

// Shapes `window` from the last frame's alpha: clicks pass the transparent
// corners, and without a compositing manager the window itself is round.
void ApplyShape(GtkWidget* window, int scale);

// The next frame is copied and painted whole.
void ForgetShownFrame();

void FreeSurface();

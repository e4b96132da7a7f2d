// The clock window's current DPI: 96 until the window is known, never 0.
#pragma once

extern unsigned dpi;

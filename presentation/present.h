// Live presentation: frames for the current time pushed to the layered clock window.
#pragma once

#include <cstdint>

#include <windows.h>

#include "renderer/image.h"

extern velmor::Image presentationFrame; // every live frame is rendered into it
extern std::int32_t dibSize;            // edge of the DIB section in pixels; 0: none
extern void* dibBits;                   // the DIB section's top-left pixel
extern HBITMAP dib;                     // top-down 32-bit DIB section
extern HDC dibDC;                       // memory DC holding `dib`
extern HBITMAP oldDib;                  // what `dibDC` held before `dib`

// Draws the frame for now at `size` pixels (clamped into 160..1200) and moves,
// sizes and repaints the clock window at `topLeft` in one layered update. False
// without a clock window or renderer, or when the surface or the update fails.
bool Present(int size, POINT topLeft, bool fast);

// Presents at the size the settings and the DPI call for, where the window is.
bool Render();

// Releases the DIB section and its memory DC.
void FreeDib();

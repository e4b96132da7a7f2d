// Live presentation: frames for the current time pushed to the layered clock window.
#pragma once

#include <cstdint>

#include <windows.h>

#include "renderer/image.h"
#include "settings/settings.h"

extern velmor::Image presentationFrame; // every live frame is rendered into it
extern std::int32_t dibSize;            // edge of the DIB section in pixels; 0: none
extern void* dibBits;                   // the DIB section's top-left pixel
extern HBITMAP dib;                     // top-down 32-bit DIB section
extern HDC dibDC;                       // memory DC holding `dib`
extern HBITMAP oldDib;                  // what `dibDC` held before `dib`
extern HWND dibShownOn;                 // the window showing the frame `dib` holds; null: none

// The layered update itself. Windows sends WM_DPICHANGED from inside it when
// it carries the window onto a monitor of another DPI; Wine never does, so a
// test puts a stand-in here that does.
using LayeredUpdate = BOOL(WINAPI*)(HWND window, const UPDATELAYEREDWINDOWINFO* info);
extern LayeredUpdate layeredUpdate;

// Draws the frame for now at `size` pixels (clamped into 160..1200) with the
// options of `settings`, and moves, sizes and repaints `window` at `topLeft`
// in one layered update. A steady tick redraws, copies and hands over only
// the rows its hands change. False without a window or renderer, or when the
// surface or the update fails.
bool PresentFrame(HWND window, const Settings& settings, int size, POINT topLeft, bool fast);

// The next frame goes to the screen whole: after a resume, a change of the
// clock or of the displays, the screen may no longer show the frame the
// surface holds.
void ForgetShownFrame();

// Releases the DIB section and its memory DC.
void FreeDib();

// The program's one clock: the operations every part of the Linux shell uses,
// each a one-line bridge from the shell's globals (the clock window, the
// settings record, the DPI, the size dialog) to the portable rules.
#pragma once

#include "placement/resize.h"

// The current resize gesture's doubled centre and the animation record.
extern ScreenPoint resizeCenter2;
extern ResizeMotion resizeMotion;

// Draws the frame for now at `size` pixels and puts the clock window at `topLeft`.
bool Present(int size, ScreenPoint topLeft, bool fast);

// Presents at the size the settings and DPI call for, where the window is.
bool Render();

// Saves the settings with the clock window's position.
bool SaveSettings();

// (Re)starts the clock tick for the settings and size.
void Schedule();

// One firing of the tick timer: re-arms a stepping tick and draws unless
// `showing` is false; false when the drawing failed.
bool Tick(bool showing);

// Resizing and placement of the clock window.
void Resize(int size);
void TickResize();
void FinishResize();
void StopResize();
void KeepVisible(bool center);

// Brings a hidden clock back, where it was, inside its work area.
bool ShowClock();

// Rewrites the size dialog's label; nothing while the dialog is closed.
void UpdateLabel();

// The user's place per monitor layout (linux/layout_memory.h), on the clock.
void StartLayoutMemory();
void RememberPlace();
void PositionSaved();
void UserPlacing();
void NoticeLayoutChange();
void WatchLayout();

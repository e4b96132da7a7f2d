// The program's one clock: the operations every part of the shell uses, each
// working on the shell's globals (the clock window, the settings record, the
// DPI, the renderer, the size dialog). Only the entry point, the window
// procedures and these one-line bridges read those globals; the functions
// they call take what they need as parameters.
#pragma once

#include <windows.h>

#include <memory>

#include "placement/resize.h"
#include "presentation/gdiplus.h"

// The current resize gesture's doubled centre and the animation record.
extern ScreenPoint resizeCenter2;
extern ResizeMotion resizeMotion;

// Decodes the program's RCDATA artwork `id`; empty on any failure.
std::unique_ptr<Gdiplus::Bitmap> LoadPng(int id);

// Draws the frame for now at `size` pixels and puts the clock window at
// `topLeft` in one layered update.
bool Present(int size, POINT topLeft, bool fast);

// Presents at the size the settings and DPI call for, where the window is.
bool Render();

// Saves the settings with the clock window's position.
bool SaveSettings();

// (Re)starts the clock tick for the settings and size.
void Schedule();

// One firing of the clock tick (placement/schedule.h): re-arms a stepping tick
// and draws unless `showing` is false. False when the drawing failed.
bool Tick(bool showing);

// Resizing and placement of the clock window.
void Resize(int size);
POINT ResizePosition(int width);
void TickResize();
void FinishResize();
void StopResize();
void KeepVisible(bool center);

// Rewrites the size dialog's label; nothing while the dialog is closed.
void UpdateLabel();

// The user's place per monitor layout (app/layout_memory.h), on the clock.
void StartLayoutMemory();
void RememberPlace();
void PositionSaved();
void UserPlacing();
void NoticeLayoutChange();
void WatchLayout();

// Who can see the clock (app/sight_watch.h): the tick stops while nobody can,
// and a whole frame comes back with the tick when somebody can again.
void StartSightWatch();
void RetrySessionNotices();
void StopSightWatch();
void NoticeSessionChange(WPARAM event);
void NoticePowerSetting(const POWERBROADCAST_SETTING& setting);

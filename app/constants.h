// Names and numbers the shell shares with Windows, the user and a second instance.
#pragma once

#include <windows.h>

#include "resources/resource_ids.h"

inline constexpr wchar_t TITLE[] = L"Velmor Clock";               // window title, message-box caption
inline constexpr wchar_t APPCLASS[] = L"Dashwelle.VelmorClock.1"; // a second instance finds the clock by it
inline constexpr wchar_t SIZECLASS[] = L"VelmorClock.Size";
inline constexpr wchar_t MUTEX_NAME[] = L"Local\\Dashwelle.VelmorClock.1";
inline constexpr wchar_t SELF_TEST_SWITCH[] = L"--self-test";
inline constexpr wchar_t TASKBAR_MESSAGE[] = L"TaskbarCreated";
inline constexpr UINT WM_TRAY = WM_APP + 1;         // the notification icon's callback
inline constexpr UINT WM_SHOW_REQUEST = WM_APP + 2; // posted by a second instance

// The artwork resources (RCDATA).
inline constexpr int FACE_ARTWORK = FACE_ARTWORK_ID;
inline constexpr int REFERENCE_ARTWORK = REFERENCE_ARTWORK_ID;
inline constexpr int CRYSTAL_ARTWORK = CRYSTAL_ARTWORK_ID;

// Process exit codes of start-up.
inline constexpr int EXIT_NORMAL = 0;
inline constexpr int EXIT_NO_GRAPHICS = 1;
inline constexpr int EXIT_NO_ARTWORK = 2;
inline constexpr int EXIT_NO_WINDOW = 3;
inline constexpr int EXIT_NO_FIRST_FRAME = 4;

inline constexpr wchar_t GRAPHICS_FAILED[] = L"Windows could not initialize the clock graphics.";
inline constexpr wchar_t ARTWORK_MISSING[] =
    L"The clock artwork could not be loaded. Please reinstall Velmor Clock.";
inline constexpr wchar_t CRYSTAL_MISSING[] =
    L"The crystal artwork could not be loaded. Please reinstall Velmor Clock.";

inline constexpr wchar_t DISPLAY_FAILED[] =
    L"Windows could not display the clock. Please restart the application.";
inline constexpr int APP_ICON = APP_ICON_ID;  // the application icon group
inline constexpr int CLOCK_START_SIZE = 320;  // the window's size until the first frame sizes it
inline constexpr int UNPLACED_POSITION = 100; // where a never-placed clock is created before it is centred

// Watching who can see the clock (Win32): the session's lock and connection
// notices and the display's power state. The session's notices are asked for
// again while they cannot be had yet, as early at logon.
#pragma once

#include <windows.h>

#include "placement/sight.h"

struct SightWatch {
    Sight sight;
    HPOWERNOTIFY display = nullptr; // the display's power notices
    bool sessionNotices = false;    // the session's notices were granted
    int sessionTries = 0;           // how often they were asked for
};

// How the session's notices are asked for; a test makes the first asks fail.
using SessionRegistration = BOOL(WINAPI*)(HWND window, DWORD flags);
extern SessionRegistration registerSessionNotices;

// Asks for the session's notices and the display's power notices for
// `window`. When the session's are refused (its services are not up yet at
// logon) SESSION_TIMER asks again every two seconds for two minutes.
void StartSightWatch(SightWatch& watch, HWND window);

// SESSION_TIMER: one more ask; the timer stops at the first success or the last try.
void RetrySessionNotices(SightWatch& watch, HWND window);

// Gives both back; for the window's destruction.
void StopSightWatch(SightWatch& watch, HWND window);

// What a WM_WTSSESSION_CHANGE event changes about who can see the clock.
SightChange NoticeSession(SightWatch& watch, WPARAM event);

// What a PBT_POWERSETTINGCHANGE notice changes; other settings change nothing.
SightChange NoticePowerSetting(SightWatch& watch, const POWERBROADCAST_SETTING& setting);

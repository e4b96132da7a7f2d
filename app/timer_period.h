// The system timer's resolution while the resize animation runs. Window timers
// fire on the system tick, every 15.6 ms unless some program asks for finer,
// so 16 ms animation frames would come every 31 ms; a finer period costs power
// and is asked for only while an animation runs.
#pragma once

#include <windows.h>

#include <mmsystem.h>

// timeBeginPeriod and timeEndPeriod; a test counts the calls instead.
using TimerPeriodCall = MMRESULT(WINAPI*)(UINT period);
extern TimerPeriodCall beginTimerPeriod;
extern TimerPeriodCall endTimerPeriod;

inline constexpr UINT FINE_TIMER_PERIOD_MS = 1;

// Asks for the fine period unless it is held already; gives it back if held.
// However often either is called, each request is matched by one release.
void HoldFineTimerPeriod();
void ReleaseFineTimerPeriod();
bool FineTimerPeriodHeld();

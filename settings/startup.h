// Start with Windows: one value under the current user's Run key that starts
// exactly this program file, and the shell's switch for it that Task Manager
// and Settings turn off without touching the Run value (Win32 only).
#pragma once

#include <string>

// Full path of the running executable; empty if it cannot be read.
std::wstring ExePath();

// True only when the Run value "VelmorClock" exists, is a REG_SZ and holds
// this program's quoted path exactly (same letter case, with the quotes), and
// the shell's switch of that name is absent or on (a switch that is there but
// cannot be read counts as off).
bool StartupEnabled();

// Enabling writes the Run value and turns the shell's switch on where there
// is one; disabling deletes the Run value and the switch with it. Deleting a
// value that is not there succeeds; failing to delete the switch does not
// fail the disabling, since without the Run value nothing starts.
bool SetStartup(bool enable);

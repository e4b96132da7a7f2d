// Start with Windows: one value under the current user's Run key that starts
// exactly this program file (Win32 only).
#pragma once

#include <string>

// Full path of the running executable; empty if it cannot be read.
std::wstring ExePath();

// True only when the Run value "VelmorClock" exists, is a REG_SZ and holds
// this program's quoted path exactly (same letter case, with the quotes).
bool StartupEnabled();

// Writes (enable) or deletes the Run value. Deleting a value that is not
// there succeeds.
bool SetStartup(bool enable);

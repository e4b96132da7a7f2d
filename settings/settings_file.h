// Where the settings file lives, how it is read at start-up and how it is
// rewritten after every change (Win32 only).
#pragma once

#include <windows.h>

#include <string>

// Full path of the settings file; empty until InitSettings succeeds, and an
// empty path disables saving.
extern std::wstring iniPath;

// Sets iniPath to "<local application data>\Dashwelle\Velmor Clock\settings.ini"
// and creates the two folders. Without a local application-data folder iniPath
// stays empty.
void InitSettings();

// Fills every field of cfg from section "Clock" of iniPath; each missing or
// unreadable key takes its default, and every key does while iniPath is empty.
void LoadSettings();

// Stores `window`'s position into cfg.X and cfg.Y (kept as they are when there
// is no window, its position cannot be read, or while it is minimised) and
// replaces the file with cfg's text: written to iniPath + ".tmp", flushed and
// moved over iniPath, so the file on disk is always either the old or the new
// one, whole. True when the file was replaced.
bool SaveSettings(HWND window);

// Where the settings file lives on Linux and how it is read and saved:
// "$XDG_CONFIG_HOME/velmor-clock/settings.ini", UTF-8, replaced atomically.
#pragma once

#include <string>

#include "settings/settings.h"

// The settings file's path, its folder made; empty when no folder can be made
// (the clock then runs on what it read and never saves).
std::string InitSettingsPath();

// The record the file gives: the defaults for a missing, unreadable, too large
// or damaged file and for every missing key.
Settings LoadSettingsFile(const std::string& path);

// Replaces the file with the record's text; false (and the old file kept) on
// any failure or an empty path.
bool SaveSettingsFile(const std::string& path, const Settings& settings);

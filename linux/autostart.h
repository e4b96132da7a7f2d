// "Start at login": an XDG autostart entry in the user's configuration folder
// that starts exactly this program file.
#pragma once

#include <string>

// The running program's file (from /proc/self/exe); empty when unknown.
std::string ProgramPath();

// "$XDG_CONFIG_HOME/autostart/velmor-clock.desktop".
std::string AutostartPath();

// An entry exists that starts exactly ProgramPath().
bool StartupEnabled();

// Writes or removes the entry; removing an entry that is not there succeeds.
bool SetStartup(bool enable);

// The login autostart entry of a desktop session (an XDG desktop entry in the
// user's autostart folder): its text for a program file, and whether a stored
// entry starts exactly that file. Portable.
#pragma once

#include <string>
#include <string_view>

// The entry's file name in the autostart folder.
inline constexpr std::string_view AUTOSTART_FILE = "velmor-clock.desktop";

// The Exec value that starts `path`: the path in double quotes, with the
// characters the entry format and its quoting reserve escaped.
std::string ExecValue(std::string_view path);

// A whole entry that starts `path` at login.
std::string AutostartEntryText(std::string_view path);

// Whether the entry `text` starts exactly `path` at login: its Exec is
// ExecValue(path) and it is neither hidden nor switched off.
bool AutostartEntryStarts(std::string_view text, std::string_view path);

// The settings file as UTF-8 text, for systems whose files are UTF-8: the same
// keys and values as the UTF-16 file, one "key=value" line each ending in LF,
// and the reader that fills a record from such a file by the profile reader's
// rules. Portable.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings.h"

// SettingsText's lines, in its order, in UTF-8 with LF line ends.
std::string SettingsUtf8Text(const Settings& settings);

// The integer value of `key` in `section` of INI text, read as the Windows
// profile reader reads it: section and key names in any letter case, the first
// matching key wins, `fallback` when the key is missing or its value empty; a
// value is read as optional blanks, an optional sign and decimal digits up to
// the first other character (none: 0), wrapping into 32 bits.
std::int32_t IniInt(std::string_view text, std::string_view section, std::string_view key,
                    std::int32_t fallback);

// The record a settings file's bytes give: UTF-8 text (a byte-order mark is
// skipped) or a UTF-16LE file with its mark, as the Windows program writes it.
// Anything else reads as keys that are missing: the defaults.
Settings SettingsFromFile(std::string_view bytes);

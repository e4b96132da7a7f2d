// The settings file's format: the text written from a settings record, and the
// rules by which a record is filled from the file's keys. Portable: the file is
// UTF-16LE, so the text is built as UTF-16 code units.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "settings/settings.h"

// The byte-order mark written directly before the text (bytes FF FE on disk).
inline constexpr char16_t SETTINGS_BOM = 0xFEFF;

// The section every key lives in.
inline constexpr std::u16string_view SETTINGS_SECTION = u"Clock";

// The whole file text after the byte-order mark: "[Clock]", then Size, X, Y,
// AlwaysOnTop, LockPosition, Seconds, Smooth, Crystal, Shadows and
// ReflectionStrength, one "key=value" line each, every line ending in CR LF.
// No terminating NUL.
std::u16string SettingsText(const Settings& settings);

// Reads one key of the section as a signed integer, `fallback` when the key or
// the file is missing or the value is not a number.
using SettingsKeyReader = std::function<std::int32_t(std::u16string_view key, std::int32_t fallback)>;

// A record filled key by key through `read`, with each key's default, in the
// order Size, X, Y, AlwaysOnTop, LockPosition, Seconds, Smooth,
// ReflectionStrength, Crystal, Shadows. Size is kept within 160..900 and
// ReflectionStrength within 50..150; X and Y are taken as read; a flag is on
// for any value other than 0.
Settings ReadSettings(const SettingsKeyReader& read);

// Whole small files, replaced so that a crash or power cut leaves either the
// old file or the new one on disk, never a part of either (Win32 only).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// Creates or truncates `path` and writes `bytes` to it: a plain write, for
// files whose loss in a crash costs nothing (a report, a test's input).
// True when every byte was written.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);

// Writes `bytes` to `path` + ".tmp", flushes it and moves it over `path`.
// True when `path` was replaced; on failure the temporary file is removed.
bool ReplaceFileAtomically(const std::wstring& path, std::string_view bytes);

// The whole file at `path` when it opens, reads in full and is at most
// `limit` bytes long; none otherwise.
std::optional<std::string> ReadSmallFile(const std::wstring& path, DWORD limit);

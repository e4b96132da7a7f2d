// Whole small files, replaced so that a crash or power cut leaves either the
// old file or the new one on disk, never a part of either (Win32 only).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// Writes `bytes` to `path` + ".tmp", flushes it and moves it over `path`.
// True when `path` was replaced; on failure the temporary file is removed.
bool ReplaceFileAtomically(const std::wstring& path, std::string_view bytes);

// The whole file at `path` when it opens, reads in full and is at most
// `limit` bytes long; none otherwise.
std::optional<std::string> ReadSmallFile(const std::wstring& path, DWORD limit);

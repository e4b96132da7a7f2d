// Whole small files, replaced so that a crash or power cut leaves either the
// old file or the new one on disk, never a part of either (Win32 only).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// Creates or truncates `path` and writes `bytes` to it: a plain write, for
// files whose loss in a crash costs nothing (a report, a test's input). The
// create waits for a file held open for a moment, as below.
// True when every byte was written.
bool WriteWholeFile(const std::wstring& path, std::string_view bytes);

// Writes `bytes` to `path` + ".tmp", flushes it and moves it over `path`.
// True when `path` was replaced; on failure the temporary file is removed.
// A file held open by another for a moment (a scanner) is waited for, up to
// half a second; one that stays locked, is read-only or sits in a folder that
// cannot be written fails after that, leaving `path` as it was.
bool ReplaceFileAtomically(const std::wstring& path, std::string_view bytes);

// The whole file at `path` when it opens, reads in full and is at most
// `limit` bytes long; none otherwise.
std::optional<std::string> ReadSmallFile(const std::wstring& path, DWORD limit);

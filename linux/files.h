// Small whole files: read in full, replaced atomically (a crash or power cut
// leaves the old file or the new one, never part of either), removed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The file's bytes when it opens and is at most `limit` bytes long.
std::optional<std::string> ReadSmallFile(const std::string& path, std::size_t limit);

// Writes `bytes` to `path` + ".tmp", flushes it to disk and renames it over
// `path`, then flushes the folder. True when `path` was replaced; on failure
// the temporary file is removed and `path` is left as it was.
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Makes the folder and its parents (mode 0700 for new ones).
bool MakeFolders(const std::string& folder);

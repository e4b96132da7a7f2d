// The placement memory's own small file beside the settings file (Win32 only).
#pragma once

#include <string>

#include "placement/placement_memory.h"

// The memory file's path for the settings file at `iniPath`: "placements.txt"
// in the same folder; empty (no memory file) when `iniPath` is empty.
std::wstring PlacementMemoryPath(const std::wstring& iniPath);

// The memory in the file at `path`; empty when it is missing, too large or damaged.
PlacementMemory LoadPlacementMemory(const std::wstring& path);

// Replaces the file at `path` with `memory`, atomically as the settings file.
bool SavePlacementMemory(const std::wstring& path, const PlacementMemory& memory);

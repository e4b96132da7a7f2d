#include "placement/placement_memory_file.h"

#include "settings/atomic_file.h"

namespace {

constexpr wchar_t FILE_NAME[] = L"placements.txt";
constexpr DWORD LARGEST_FILE = 4096; // MAX_LAYOUTS lines are far below it

} // namespace

std::wstring PlacementMemoryPath(const std::wstring& iniPath) {
    const std::size_t slash = iniPath.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring{} : iniPath.substr(0, slash + 1) + FILE_NAME;
}

PlacementMemory LoadPlacementMemory(const std::wstring& path) {
    if (path.empty()) return {};
    const std::optional<std::string> text = ReadSmallFile(path, LARGEST_FILE);
    return text ? ParseMemory(*text) : PlacementMemory{};
}

bool SavePlacementMemory(const std::wstring& path, const PlacementMemory& memory) {
    return !path.empty() && ReplaceFileAtomically(path, MemoryText(memory));
}

#include "settings/settings_file.h"

#include <windows.h>

#include <shlobj.h>

#include "settings/atomic_file.h"
#include "settings/settings.h"
#include "settings/settings_text.h"

std::wstring iniPath;

void InitSettings() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) return;
    std::wstring path = folder;
    path += L"\\Dashwelle";
    CreateDirectoryW(path.c_str(), nullptr);
    path += L"\\Velmor Clock";
    CreateDirectoryW(path.c_str(), nullptr);
    iniPath = path + L"\\settings.ini";
}

void LoadSettings() {
    const std::wstring section(SETTINGS_SECTION.begin(), SETTINGS_SECTION.end());
    cfg = ReadSettings([&](std::u16string_view key, std::int32_t fallback) {
        // Without a path there is no file: the profile reader would look for
        // one in the Windows folder instead.
        if (iniPath.empty()) return fallback;
        const std::wstring name(key.begin(), key.end());
        // The profile reader returns the signed value in an unsigned type.
        return static_cast<std::int32_t>(
            GetPrivateProfileIntW(section.c_str(), name.c_str(), fallback, iniPath.c_str()));
    });
}

bool SaveSettings(HWND window) {
    if (iniPath.empty()) return false;

    // The live window position; a window that is not there or is minimised
    // (parked at -32000) has no position worth keeping, so the last one stays.
    RECT rect;
    if (window && !IsIconic(window) && GetWindowRect(window, &rect)) {
        cfg.X = rect.left;
        cfg.Y = rect.top;
    }

    // The file's bytes: the UTF-16LE byte-order mark, then the text.
    const std::u16string text = SETTINGS_BOM + SettingsText(cfg);
    return ReplaceFileAtomically(
        iniPath, {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t)});
}

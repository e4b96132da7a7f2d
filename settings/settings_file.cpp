#include "settings/settings_file.h"

#include <windows.h>
#include <shlobj.h>

#include "settings/settings.h"
#include "settings/settings_text.h"

std::wstring iniPath;

namespace {

// Owns a file handle; closes it once, explicitly or when it goes out of scope.
struct FileHandle {
    HANDLE handle = INVALID_HANDLE_VALUE;
    explicit FileHandle(HANDLE h) : handle(h) {}
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    ~FileHandle() { Close(); }
    bool Valid() const { return handle != INVALID_HANDLE_VALUE; }
    void Close() {
        if (Valid()) CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
};

bool WriteExactly(HANDLE file, const void* data, DWORD bytes) {
    DWORD written = 0;
    return WriteFile(file, data, bytes, &written, nullptr) && written == bytes;
}

} // namespace

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

    const std::u16string text = SettingsText(cfg);
    const std::wstring tempPath = iniPath + L".tmp";

    FileHandle file(CreateFileW(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return false;

    const char16_t bom = SETTINGS_BOM;
    const bool written = WriteExactly(file.handle, &bom, sizeof bom) &&
                         WriteExactly(file.handle, text.data(), static_cast<DWORD>(text.size() * sizeof(char16_t)));
    const bool flushed = written && FlushFileBuffers(file.handle);
    file.Close();
    if (!flushed || !MoveFileExW(tempPath.c_str(), iniPath.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(tempPath.c_str());
        return false;
    }
    return true;
}

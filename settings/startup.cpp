#include "settings/startup.h"

#include <windows.h>

#include <vector>

#include "settings/run_value.h"

namespace {

constexpr wchar_t RUN_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t RUN_VALUE[] = L"VelmorClock";
constexpr DWORD RUN_BUFFER_BYTES = 65536;

// Owns an open registry key.
struct RegistryKey {
    HKEY key = nullptr;
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() {
        if (key) RegCloseKey(key);
    }
};

std::u16string ToU16(const std::wstring& text) {
    return std::u16string(text.begin(), text.end());
}

std::wstring QuotedExePath() {
    const std::u16string quoted = QuotedPath(ToU16(ExePath()));
    return std::wstring(quoted.begin(), quoted.end());
}

} // namespace

std::wstring ExePath() {
    std::vector<wchar_t> buffer(32768);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    return std::wstring(buffer.data(), length);
}

bool StartupEnabled() {
    std::vector<std::byte> data(RUN_BUFFER_BYTES);
    DWORD type = 0;
    DWORD bytes = RUN_BUFFER_BYTES;
    LSTATUS status;
    {
        RegistryKey run;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_QUERY_VALUE, &run.key) != ERROR_SUCCESS)
            return false;
        status = RegQueryValueExW(run.key, RUN_VALUE, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                                  &bytes);
    }
    // A value too large for the buffer (ERROR_MORE_DATA) is not ours either.
    if (status != ERROR_SUCCESS || type != REG_SZ || bytes > RUN_BUFFER_BYTES) return false;
    return RunValueMatches(std::span(data.data(), bytes), QuotedPath(ToU16(ExePath())));
}

bool SetStartup(bool enable) {
    RegistryKey run;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, RUN_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                        nullptr, &run.key, nullptr) != ERROR_SUCCESS)
        return false;
    const std::wstring quoted = QuotedExePath();
    LSTATUS status;
    if (enable) {
        status = RegSetValueExW(run.key, RUN_VALUE, 0, REG_SZ, reinterpret_cast<const BYTE*>(quoted.c_str()),
                                static_cast<DWORD>((quoted.size() + 1) * sizeof(wchar_t)));
    } else {
        status = RegDeleteValueW(run.key, RUN_VALUE);
        if (status == ERROR_FILE_NOT_FOUND) status = ERROR_SUCCESS;
    }
    return status == ERROR_SUCCESS;
}

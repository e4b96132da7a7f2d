#include "settings/startup.h"

#include <windows.h>

#include <vector>

#include "settings/run_value.h"
#include "settings/startup_approved.h"

namespace {

constexpr wchar_t RUN_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t RUN_VALUE[] = L"VelmorClock";
// The shell's on/off switch for the Run value, a value of the same name.
constexpr wchar_t APPROVED_KEY[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
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

// The switch as stored: no value (or no key), a value that cannot be read,
// or its data.
enum class Found { Nothing, Unreadable, Data };
struct Approval {
    Found found = Found::Nothing;
    std::vector<std::byte> data;
};

Approval ReadApproval() {
    Approval approval;
    RegistryKey approved;
    LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, APPROVED_KEY, 0, KEY_QUERY_VALUE, &approved.key);
    DWORD bytes = 0;
    if (status == ERROR_SUCCESS)
        status = RegQueryValueExW(approved.key, RUN_VALUE, nullptr, nullptr, nullptr, &bytes);
    if (status == ERROR_FILE_NOT_FOUND) return approval;
    approval.found = Found::Unreadable;
    if (status != ERROR_SUCCESS) return approval;
    approval.data.resize(bytes);
    if (RegQueryValueExW(approved.key, RUN_VALUE, nullptr, nullptr,
                         reinterpret_cast<BYTE*>(approval.data.data()), &bytes) != ERROR_SUCCESS) {
        approval.data.clear();
        return approval;
    }
    approval.data.resize(bytes);
    approval.found = Found::Data;
    return approval;
}

// Switches the entry on where the shell keeps a switch for it. An entry
// without one is on already (the shell makes its own when it first lists the
// entry), so none is made here.
bool SwitchOnWhereApproved() {
    const Approval approval = ReadApproval();
    if (approval.found == Found::Nothing) return true;
    // Data that cannot be read is replaced by the plain value.
    const StartupApproval on = EnabledApproval(approval.data);
    RegistryKey approved;
    return RegOpenKeyExW(HKEY_CURRENT_USER, APPROVED_KEY, 0, KEY_SET_VALUE, &approved.key) == ERROR_SUCCESS &&
           RegSetValueExW(approved.key, RUN_VALUE, 0, REG_BINARY, reinterpret_cast<const BYTE*>(on.data()),
                          static_cast<DWORD>(on.size())) == ERROR_SUCCESS;
}

// The switch goes with our Run value: one left behind would be stale.
void DeleteApproval() {
    RegistryKey approved;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, APPROVED_KEY, 0, KEY_SET_VALUE, &approved.key) == ERROR_SUCCESS)
        RegDeleteValueW(approved.key, RUN_VALUE);
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
    if (!RunValueMatches(std::span(data.data(), bytes), QuotedPath(ToU16(ExePath())))) return false;
    // Switched off in Task Manager or Settings, the shell skips the Run value.
    const Approval approval = ReadApproval();
    return approval.found == Found::Nothing ||
           (approval.found == Found::Data && !ApprovalSwitchesOff(approval.data));
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
        return status == ERROR_SUCCESS && SwitchOnWhereApproved();
    }
    status = RegDeleteValueW(run.key, RUN_VALUE);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return false;
    // Without the Run value the clock does not start, whatever the switch says.
    DeleteApproval();
    return true;
}

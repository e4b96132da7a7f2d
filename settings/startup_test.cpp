#include "settings/startup.h"

#include <windows.h>

#include <sddl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t RUN_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t APPROVED_KEY[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
constexpr wchar_t RUN_VALUE[] = L"VelmorClock";

// Raw data and type of a value named RUN_VALUE; found is false when it does not exist.
struct RunValue {
    bool found = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

RunValue ReadValue(const wchar_t* keyName) {
    RunValue value;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyName, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return value;
    DWORD bytes = 0;
    if (RegQueryValueExW(key, RUN_VALUE, nullptr, &value.type, nullptr, &bytes) == ERROR_SUCCESS) {
        value.data.resize(bytes);
        value.found = RegQueryValueExW(key, RUN_VALUE, nullptr, &value.type, value.data.data(), &bytes) ==
                      ERROR_SUCCESS;
        value.data.resize(bytes);
    }
    RegCloseKey(key);
    return value;
}
RunValue ReadRunValue() {
    return ReadValue(RUN_KEY);
}

void WriteValue(const wchar_t* keyName, DWORD type, const void* data, std::size_t bytes) {
    HKEY key;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, keyName, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    EXPECT_EQ(
        RegSetValueExW(key, RUN_VALUE, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(bytes)),
        ERROR_SUCCESS);
    RegCloseKey(key);
}
void WriteRunValue(DWORD type, const void* data, std::size_t bytes) {
    WriteValue(RUN_KEY, type, data, bytes);
}

void WriteRunText(DWORD type, const std::wstring& text) {
    WriteRunValue(type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void WriteApproval(const std::vector<BYTE>& data) {
    WriteValue(APPROVED_KEY, REG_BINARY, data.data(), data.size());
}

void DeleteValue(const wchar_t* keyName) {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyName, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, RUN_VALUE);
    RegCloseKey(key);
}
void DeleteRunValue() {
    DeleteValue(RUN_KEY);
}

// Sets a key's access list from SDDL; the one it had is kept in `saved`.
void SetKeyAccess(const wchar_t* keyName, const wchar_t* sddl, std::vector<BYTE>& saved) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, keyName, 0, READ_CONTROL | WRITE_DAC, &key), ERROR_SUCCESS);
    DWORD bytes = 1024;
    saved.resize(bytes);
    EXPECT_EQ(RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved.data(), &bytes), ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR access = nullptr;
    EXPECT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &access, nullptr));
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, access), ERROR_SUCCESS);
    LocalFree(access);
    RegCloseKey(key);
}
void RestoreKeyAccess(const wchar_t* keyName, std::vector<BYTE>& saved) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyName, 0, WRITE_DAC, &key) != ERROR_SUCCESS) return;
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved.data()), ERROR_SUCCESS);
    RegCloseKey(key);
    saved.clear();
}

// The test run's own registry: cases (separate processes, possibly at the same
// time) take turns through a named mutex, and the value found at the start is
// put back at the end.
class Startup : public testing::Test {
  protected:
    void SetUp() override {
        turn = CreateMutexW(nullptr, FALSE, L"Local\\Dashwelle.VelmorClock.RunValueTest");
        ASSERT_NE(turn, nullptr);
        ASSERT_NE(WaitForSingleObject(turn, 60000), WAIT_TIMEOUT);
        before = ReadRunValue();
        approvedBefore = ReadValue(APPROVED_KEY);
        DeleteRunValue();
        DeleteValue(APPROVED_KEY);
    }
    void TearDown() override {
        if (!savedAccess.empty()) RestoreKeyAccess(APPROVED_KEY, savedAccess);
        DeleteRunValue();
        DeleteValue(APPROVED_KEY);
        if (before.found) WriteRunValue(before.type, before.data.data(), before.data.size());
        if (approvedBefore.found)
            WriteValue(APPROVED_KEY, approvedBefore.type, approvedBefore.data.data(),
                       approvedBefore.data.size());
        if (turn) {
            ReleaseMutex(turn);
            CloseHandle(turn);
        }
    }
    static std::wstring Quoted() { return L"\"" + ExePath() + L"\""; }

    HANDLE turn = nullptr;
    RunValue before;
    RunValue approvedBefore;
    std::vector<BYTE> savedAccess;
};

TEST(ExePath, IsThisExecutablesFullPath) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    const std::wstring exe = ExePath();
    EXPECT_EQ(exe, std::wstring(path, length));
    EXPECT_EQ(exe.find(L'\0'), std::wstring::npos);
    ASSERT_GT(exe.size(), 3u);
    EXPECT_EQ(exe.substr(1, 2), L":\\");
    EXPECT_EQ(exe.substr(exe.size() - 16), L"startup_test.exe");
}

TEST_F(Startup, NoValueIsNotEnabledAndDisablingSucceeds) {
    EXPECT_FALSE(StartupEnabled());
    EXPECT_TRUE(SetStartup(false));
    EXPECT_FALSE(ReadRunValue().found);
}

TEST_F(Startup, EnableWritesTheQuotedPathAndDisableRemovesIt) {
    ASSERT_TRUE(SetStartup(true));
    const RunValue value = ReadRunValue();
    ASSERT_TRUE(value.found);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    const std::wstring quoted = Quoted();
    ASSERT_EQ(value.data.size(), (quoted.size() + 1) * sizeof(wchar_t));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(value.data.data()), quoted.size() + 1),
              quoted + L'\0');
    EXPECT_TRUE(StartupEnabled());
    // Enabling twice is harmless.
    EXPECT_TRUE(SetStartup(true));
    EXPECT_TRUE(StartupEnabled());

    EXPECT_TRUE(SetStartup(false));
    EXPECT_FALSE(ReadRunValue().found);
    EXPECT_FALSE(StartupEnabled());
    EXPECT_TRUE(SetStartup(false));
}

TEST_F(Startup, OnlyThisExactRegistrationCounts) {
    const std::wstring exe = ExePath();
    std::wstring lower = exe;
    for (auto& c : lower)
        c = static_cast<wchar_t>(towlower(c));
    ASSERT_NE(lower, exe) << "the path has no capital letter to change";
    std::wstring upper = exe;
    for (auto& c : upper)
        c = static_cast<wchar_t>(towupper(c));
    const struct {
        DWORD type;
        std::wstring text;
        const char* what;
    } others[] = {
        {REG_SZ, exe, "unquoted"},
        {REG_SZ, L"\"" + lower + L"\"", "other letter case"},
        {REG_SZ, L"\"" + upper + L"\"", "capitals"},
        {REG_EXPAND_SZ, Quoted(), "REG_EXPAND_SZ"},
        {REG_SZ, L"\"C:\\Other Folder\\startup_test.exe\"", "another copy"},
        {REG_SZ, Quoted() + L" ", "trailing space"},
        {REG_SZ, Quoted() + L" --minimised", "with an argument"},
        {REG_SZ, L"", "empty"},
    };
    for (const auto& other : others) {
        WriteRunText(other.type, other.text);
        EXPECT_FALSE(StartupEnabled()) << other.what;
    }
    // Binary data holding the right text is not a REG_SZ either.
    const std::wstring quoted = Quoted();
    WriteRunValue(REG_BINARY, quoted.c_str(), (quoted.size() + 1) * sizeof(wchar_t));
    EXPECT_FALSE(StartupEnabled());
    // Choosing the item then registers this copy.
    ASSERT_TRUE(SetStartup(!StartupEnabled()));
    EXPECT_TRUE(StartupEnabled());
}

TEST_F(Startup, TextEndsAtItsFirstNulWithinTheReturnedData) {
    const std::wstring quoted = Quoted();
    // Stored without a NUL, and with something after the NUL.
    WriteRunValue(REG_SZ, quoted.c_str(), quoted.size() * sizeof(wchar_t));
    EXPECT_TRUE(StartupEnabled());
    const std::wstring tail = quoted + L'\0' + L"more";
    WriteRunValue(REG_SZ, tail.c_str(), tail.size() * sizeof(wchar_t));
    EXPECT_TRUE(StartupEnabled());
}

TEST_F(Startup, ValuesThatFillOrOverflowTheBufferAreSafe) {
    const std::wstring quoted = Quoted();
    // Exactly 65,536 bytes, the whole buffer, with no NUL: compared up to its
    // end and no further (some registries refuse it for want of room for a NUL).
    std::wstring full(32768, L'a');
    full.replace(0, quoted.size(), quoted);
    WriteRunValue(REG_SZ, full.c_str(), full.size() * sizeof(wchar_t));
    EXPECT_FALSE(StartupEnabled());
    // The right text and its NUL, padded to one character short of the buffer
    // (the largest value that is returned whole everywhere): read.
    std::wstring padded(32767, L'a');
    padded.replace(0, quoted.size() + 1, quoted + L'\0');
    WriteRunValue(REG_SZ, padded.c_str(), padded.size() * sizeof(wchar_t));
    EXPECT_TRUE(StartupEnabled());
    // Larger than the buffer: not ours.
    std::wstring larger(40000, L'a');
    larger.replace(0, quoted.size() + 1, quoted + L'\0');
    WriteRunValue(REG_SZ, larger.c_str(), larger.size() * sizeof(wchar_t));
    EXPECT_FALSE(StartupEnabled());
    EXPECT_TRUE(SetStartup(false));
    EXPECT_FALSE(ReadRunValue().found);
}

// Task Manager's switch beside a Run value that is ours: it decides the check.
TEST_F(Startup, TheShellsSwitchDecidesWhetherAnEntryStarts) {
    const struct {
        std::vector<BYTE> data;
        bool enabled;
        const char* what;
    } cases[] = {
        {{6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, true, "06 on"},
        {{7, 0, 0, 0, 0x71, 0xC9, 0x33, 0xAE, 0x16, 0xD9, 0xD1, 0x01}, false, "07 off"},
        {{}, true, "empty"},
        {{3}, false, "one odd byte"},
    };
    ASSERT_TRUE(SetStartup(true));
    for (const auto& c : cases) {
        WriteApproval(c.data);
        EXPECT_EQ(StartupEnabled(), c.enabled) << c.what;
    }
    // The switch alone, without the Run value, starts nothing.
    WriteApproval({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    DeleteRunValue();
    EXPECT_FALSE(StartupEnabled());
}

TEST_F(Startup, EnablingTurnsTheSwitchOnAndDisablingRemovesItWithTheRunValue) {
    // Switched off in Task Manager: the Run value is still there.
    ASSERT_TRUE(SetStartup(true));
    WriteApproval({7, 0, 0, 0, 0x71, 0xC9, 0x33, 0xAE, 0x16, 0xD9, 0xD1, 0x01});
    ASSERT_FALSE(StartupEnabled());
    // Choosing the item turns both on, the shell's other status bits kept.
    ASSERT_TRUE(SetStartup(!StartupEnabled()));
    EXPECT_TRUE(StartupEnabled());
    EXPECT_TRUE(ReadRunValue().found);
    const RunValue approved = ReadValue(APPROVED_KEY);
    ASSERT_TRUE(approved.found);
    EXPECT_EQ(approved.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(approved.data, (std::vector<BYTE>{6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));

    ASSERT_TRUE(SetStartup(false));
    EXPECT_FALSE(ReadRunValue().found);
    EXPECT_FALSE(ReadValue(APPROVED_KEY).found);
    // A switch with no Run value goes too.
    WriteApproval({3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    EXPECT_TRUE(SetStartup(false));
    EXPECT_FALSE(ReadValue(APPROVED_KEY).found);

    // Without a switch, enabling makes none: the shell's absent switch is on.
    ASSERT_TRUE(SetStartup(true));
    EXPECT_TRUE(StartupEnabled());
    EXPECT_FALSE(ReadValue(APPROVED_KEY).found);
}

TEST_F(Startup, ASwitchThatCannotBeReadIsOffAndIsReplaced) {
    ASSERT_TRUE(SetStartup(true));
    WriteApproval({2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(StartupEnabled());
    // Reading values denied (KEY_QUERY_VALUE), everything else allowed.
    SetKeyAccess(APPROVED_KEY, L"D:(D;;0x1;;;WD)(A;;KA;;;WD)", savedAccess);
    if (ReadValue(APPROVED_KEY).found) GTEST_SKIP() << "this registry does not deny reading a value";
    EXPECT_FALSE(StartupEnabled());
    // Choosing the item writes the plain switch over it.
    ASSERT_TRUE(SetStartup(true));
    RestoreKeyAccess(APPROVED_KEY, savedAccess);
    EXPECT_EQ(ReadValue(APPROVED_KEY).data, (std::vector<BYTE>{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(StartupEnabled());
}

TEST_F(Startup, ASwitchThatCannotBeWrittenFailsTheEnabling) {
    ASSERT_TRUE(SetStartup(true));
    WriteApproval({3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8});
    // Writing values denied (KEY_SET_VALUE), everything else allowed.
    SetKeyAccess(APPROVED_KEY, L"D:(D;;0x2;;;WD)(A;;KA;;;WD)", savedAccess);
    EXPECT_FALSE(SetStartup(true));
    EXPECT_FALSE(StartupEnabled());
    // Disabling still succeeds: the Run value is gone, the switch stays as it was.
    EXPECT_TRUE(SetStartup(false));
    EXPECT_FALSE(ReadRunValue().found);
    EXPECT_EQ(ReadValue(APPROVED_KEY).data, (std::vector<BYTE>{3, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
}

} // namespace

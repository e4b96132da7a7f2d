#include "settings/startup.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr wchar_t RUN_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t RUN_VALUE[] = L"VelmorClock";

// Raw data and type of the Run value; found is false when it does not exist.
struct RunValue {
    bool found = false;
    DWORD type = 0;
    std::vector<BYTE> data;
};

RunValue ReadRunValue() {
    RunValue value;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return value;
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

void WriteRunValue(DWORD type, const void* data, std::size_t bytes) {
    HKEY key;
    ASSERT_EQ(
        RegCreateKeyExW(HKEY_CURRENT_USER, RUN_KEY, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    EXPECT_EQ(
        RegSetValueExW(key, RUN_VALUE, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(bytes)),
        ERROR_SUCCESS);
    RegCloseKey(key);
}

void WriteRunText(DWORD type, const std::wstring& text) {
    WriteRunValue(type, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void DeleteRunValue() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, RUN_KEY, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, RUN_VALUE);
    RegCloseKey(key);
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
        DeleteRunValue();
    }
    void TearDown() override {
        DeleteRunValue();
        if (before.found) WriteRunValue(before.type, before.data.data(), before.data.size());
        if (turn) {
            ReleaseMutex(turn);
            CloseHandle(turn);
        }
    }
    static std::wstring Quoted() { return L"\"" + ExePath() + L"\""; }

    HANDLE turn = nullptr;
    RunValue before;
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

} // namespace

#include "settings/settings_file.h"

#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "settings/save_loop_state.h"
#include "settings/settings.h"
#include "settings/settings_text.h"
#include "testing/utf16.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes ReadBytes(const std::wstring& path) {
    Bytes bytes;
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    unsigned char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    CloseHandle(file);
    return bytes;
}

void WriteBytes(const std::wstring& path, const Bytes& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    CloseHandle(file);
}

// A UTF-16LE file's bytes: the byte-order mark, then the text.
Bytes Utf16File(std::u16string_view text) {
    return Utf16Bytes(text, true);
}

bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A fresh folder under the temporary folder, removed with its contents; cfg,
// iniPath are restored afterwards.
class SettingsFile : public testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_GT(GetTempPathW(MAX_PATH, temp), 0u);
        static int serial = 0;
        folder = std::wstring(temp) + L"velmor-settings-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++serial);
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        savedCfg = cfg;
        savedPath = iniPath;
    }
    void TearDown() override {
        if (window) DestroyWindow(window);
        cfg = savedCfg;
        iniPath = savedPath;
        RemoveTree(folder);
    }
    static void RemoveTree(const std::wstring& path) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((path + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                const std::wstring child = path + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(child);
                else
                    DeleteFileW(child.c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(path.c_str());
    }
    std::wstring File(const std::wstring& name) const { return folder + L"\\" + name; }
    // Loads a file of these bytes into cfg, which is first set away from the defaults.
    Settings LoadFrom(const std::wstring& name, const Bytes& bytes) {
        iniPath = File(name);
        WriteBytes(iniPath, bytes);
        return Load();
    }
    Settings Load() {
        cfg = SaveLoopState(7);
        LoadSettings();
        return cfg;
    }
    HWND MakeWindow(int x, int y) {
        window = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"clock", WS_POPUP, x, y, 320, 320, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
        return window;
    }

    std::wstring folder;
    Settings savedCfg;
    std::wstring savedPath;
    HWND window = nullptr;
    HWND clockWindow = nullptr; // the window whose place a save stores
};

TEST_F(SettingsFile, SavedBytesAreExact) {
    iniPath = File(L"settings.ini");
    cfg = DEFAULT_SETTINGS;
    cfg.Size = 480;
    cfg.X = -1200;
    cfg.Y = 40;
    cfg.AlwaysOnTop = true;
    cfg.Smooth = false;
    cfg.ReflectionStrength = 135;
    ASSERT_TRUE(SaveSettings(clockWindow));
    const Bytes expected =
        Utf16File(u"[Clock]\r\nSize=480\r\nX=-1200\r\nY=40\r\nAlwaysOnTop=1\r\nLockPosition=0\r\n"
                  u"Seconds=1\r\nSmooth=0\r\nCrystal=1\r\nShadows=1\r\nReflectionStrength=135\r\n");
    const Bytes bytes = ReadBytes(iniPath);
    EXPECT_EQ(bytes, expected);
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 4), (Bytes{0xFF, 0xFE, 0x5B, 0x00}));
    EXPECT_FALSE(Exists(iniPath + L".tmp"));

    // Saving again replaces the file, and what was saved reads back.
    cfg.Size = 200;
    ASSERT_TRUE(SaveSettings(clockWindow));
    const Settings written = cfg;
    EXPECT_EQ(Load(), written);
}

TEST_F(SettingsFile, SaveStoresTheLiveWindowPosition) {
    iniPath = File(L"settings.ini");
    ASSERT_NE(MakeWindow(-1200, 40), nullptr);
    clockWindow = window;
    cfg = DEFAULT_SETTINGS;
    ASSERT_TRUE(SaveSettings(clockWindow));
    EXPECT_EQ(cfg.X, -1200);
    EXPECT_EQ(cfg.Y, 40);
    cfg = DEFAULT_SETTINGS;
    LoadSettings();
    EXPECT_EQ(cfg.X, -1200);
    EXPECT_EQ(cfg.Y, 40);

    ASSERT_TRUE(SetWindowPos(window, nullptr, 300, -25, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_TRUE(SaveSettings(clockWindow));
    EXPECT_EQ(cfg.X, 300);
    EXPECT_EQ(cfg.Y, -25);
}

TEST_F(SettingsFile, UnreadablePositionKeepsTheLastOne) {
    iniPath = File(L"settings.ini");
    cfg = DEFAULT_SETTINGS;
    cfg.X = 123;
    cfg.Y = -456;
    // No window yet.
    ASSERT_TRUE(SaveSettings(clockWindow));
    EXPECT_EQ(cfg.X, 123);
    EXPECT_EQ(cfg.Y, -456);
    Settings loaded = Load();
    EXPECT_EQ(loaded.X, 123);
    EXPECT_EQ(loaded.Y, -456);

    // A handle whose window is gone: GetWindowRect fails.
    cfg.X = 77;
    cfg.Y = 88;
    ASSERT_NE(MakeWindow(500, 500), nullptr);
    DestroyWindow(window);
    clockWindow = window;
    window = nullptr;
    RECT rect;
    ASSERT_FALSE(GetWindowRect(clockWindow, &rect));
    ASSERT_TRUE(SaveSettings(clockWindow));
    EXPECT_EQ(cfg.X, 77);
    EXPECT_EQ(cfg.Y, 88);
    loaded = Load();
    EXPECT_EQ(loaded.X, 77);
    EXPECT_EQ(loaded.Y, 88);
}

TEST_F(SettingsFile, MinimisedWindowKeepsTheLastPosition) {
    iniPath = File(L"settings.ini");
    ASSERT_NE(MakeWindow(640, 200), nullptr);
    clockWindow = window;
    cfg = DEFAULT_SETTINGS;
    ASSERT_TRUE(SaveSettings(clockWindow));
    ASSERT_EQ(cfg.X, 640);
    ShowWindow(window, SW_SHOWMINNOACTIVE);
    if (!IsIconic(window)) GTEST_SKIP() << "this desktop does not minimise popup windows";
    ASSERT_TRUE(SaveSettings(clockWindow));
    EXPECT_EQ(cfg.X, 640);
    EXPECT_EQ(cfg.Y, 200);
}

TEST_F(SettingsFile, EmptyOrAbsentFileGivesTheDefaults) {
    iniPath = File(L"absent.ini");
    EXPECT_EQ(Load(), DEFAULT_SETTINGS);
    EXPECT_EQ(LoadFrom(L"empty.ini", {}), DEFAULT_SETTINGS);
    EXPECT_EQ(LoadFrom(L"bom.ini", {0xFF, 0xFE}), DEFAULT_SETTINGS);
    EXPECT_EQ(LoadFrom(L"section.ini", Utf16File(u"[Clock]\r\n")), DEFAULT_SETTINGS);
    EXPECT_EQ(LoadFrom(L"other.ini", Utf16File(u"[Other]\r\nSize=500\r\nSeconds=0\r\n")), DEFAULT_SETTINGS);
    // An empty path reads as a missing file.
    iniPath.clear();
    EXPECT_EQ(Load(), DEFAULT_SETTINGS);
}

TEST_F(SettingsFile, StoredValuesAreClampedAndFlagsAreNonZero) {
    Settings s =
        LoadFrom(L"low.ini", Utf16File(u"[Clock]\r\nSize=50\r\nReflectionStrength=10\r\nSeconds=2\r\n"
                                       u"Smooth=-1\r\nCrystal=0\r\nShadows=0\r\nAlwaysOnTop=7\r\n"));
    EXPECT_EQ(s.Size, 160);
    EXPECT_EQ(s.ReflectionStrength, 50);
    EXPECT_TRUE(s.Seconds);
    EXPECT_TRUE(s.Smooth);
    EXPECT_FALSE(s.Crystal);
    EXPECT_FALSE(s.Shadows);
    EXPECT_TRUE(s.AlwaysOnTop);
    EXPECT_FALSE(s.LockPosition);
    EXPECT_EQ(s.X, INT_MIN);

    s = LoadFrom(L"high.ini", Utf16File(u"[Clock]\r\nSize=5000\r\nReflectionStrength=999\r\nSeconds=0\r\n"
                                        u"X=-1200\r\nY=40\r\n"));
    EXPECT_EQ(s.Size, 900);
    EXPECT_EQ(s.ReflectionStrength, 150);
    EXPECT_FALSE(s.Seconds);
    EXPECT_EQ(s.X, -1200);
    EXPECT_EQ(s.Y, 40);
}

TEST_F(SettingsFile, NamesMatchInAnyLetterCaseAndOrder) {
    const Settings s = LoadFrom(L"case.ini", Utf16File(u"[clock]\r\nREFLECTIONSTRENGTH=65\r\nsize=400\r\n"
                                                       u"x=-5\r\nY=6\r\nlockposition=1\r\nsMooTh=0\r\n"));
    EXPECT_EQ(s.Size, 400);
    EXPECT_EQ(s.ReflectionStrength, 65);
    EXPECT_EQ(s.X, -5);
    EXPECT_EQ(s.Y, 6);
    EXPECT_TRUE(s.LockPosition);
    EXPECT_FALSE(s.Smooth);
}

TEST_F(SettingsFile, DamagedFilesNeverCrash) {
    // Garbage: random bytes, no section to be found.
    std::mt19937 random(12345);
    Bytes garbage(3000);
    for (auto& b : garbage)
        b = static_cast<unsigned char>(random() % 256);
    for (auto& b : garbage)
        if (b == '[') b = ' ';
    EXPECT_EQ(LoadFrom(L"garbage.ini", garbage), DEFAULT_SETTINGS);
    Settings s;
    // Words where numbers belong: the reader makes them 0 (or leaves the default).
    s = LoadFrom(L"words.ini",
                 Utf16File(u"[Clock]\r\nSize=big\r\nX=\r\nSeconds=no\r\n=5\r\n=\r\nY=12ab\r\n"));
    EXPECT_TRUE(s.Size == 160 || s.Size == DEFAULT_SETTINGS.Size) << s.Size;
    EXPECT_TRUE(s.X == 0 || s.X == DEFAULT_SETTINGS.X) << s.X;
    EXPECT_EQ(s.Y, 12);
    EXPECT_EQ(s.ReflectionStrength, DEFAULT_SETTINGS.ReflectionStrength);

    // UTF-8 without a mark: each key is either read or left at its default.
    const std::string utf8 = "[Clock]\r\nSize=480\r\nX=-1200\r\nSeconds=0\r\n";
    s = LoadFrom(L"utf8.ini", Bytes(utf8.begin(), utf8.end()));
    EXPECT_TRUE(s.Size == 480 || s.Size == DEFAULT_SETTINGS.Size) << s.Size;
    EXPECT_TRUE(s.X == -1200 || s.X == DEFAULT_SETTINGS.X) << s.X;
    EXPECT_EQ(s.ReflectionStrength, DEFAULT_SETTINGS.ReflectionStrength);

    // Cut short in the middle of a line, and in the middle of a character.
    Settings full = SaveLoopState(30);
    full.Crystal = false;
    full.Shadows = false;
    const std::u16string text = SettingsText(full);
    const std::u16string cut = text.substr(0, text.find(u"Crystal=") + 4);
    s = LoadFrom(L"cut.ini", Utf16File(cut));
    EXPECT_EQ(s.Size, full.Size);
    EXPECT_EQ(s.X, full.X);
    EXPECT_EQ(s.Smooth, full.Smooth);
    EXPECT_EQ(s.Crystal, DEFAULT_SETTINGS.Crystal);
    EXPECT_EQ(s.Shadows, DEFAULT_SETTINGS.Shadows);
    EXPECT_EQ(s.ReflectionStrength, DEFAULT_SETTINGS.ReflectionStrength);
    Bytes odd = Utf16File(text);
    odd.resize(odd.size() / 2 | 1);
    s = LoadFrom(L"odd.ini", odd);
    EXPECT_EQ(s.Size, full.Size);

    // Numbers beyond 32 bits: whatever the reader makes of them, the clamps hold.
    s = LoadFrom(L"huge.ini", Utf16File(u"[Clock]\r\nSize=99999999999999999999\r\nX=-99999999999999999999\r\n"
                                        u"ReflectionStrength=4294967296150\r\nY=2147483648\r\n"));
    EXPECT_GE(s.Size, 160);
    EXPECT_LE(s.Size, 900);
    EXPECT_GE(s.ReflectionStrength, 50);
    EXPECT_LE(s.ReflectionStrength, 150);
}

TEST_F(SettingsFile, InitSettingsBuildsThePathAndItsFolders) {
    wchar_t local[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local), S_OK);
    const std::wstring company = std::wstring(local) + L"\\Dashwelle";
    const std::wstring product = company + L"\\Velmor Clock";
    // Start without the folders (this is the test run's own prefix).
    RemoveTree(company);
    ASSERT_FALSE(Exists(company));
    iniPath.clear();
    InitSettings();
    EXPECT_EQ(iniPath, product + L"\\settings.ini");
    EXPECT_TRUE(IsDirectory(company));
    EXPECT_TRUE(IsDirectory(product));
    // Existing folders are fine too, and the path saves.
    InitSettings();
    EXPECT_EQ(iniPath, product + L"\\settings.ini");
    cfg = DEFAULT_SETTINGS;
    EXPECT_TRUE(SaveSettings(clockWindow));
    EXPECT_EQ(ReadBytes(iniPath), Utf16File(SettingsText(DEFAULT_SETTINGS)));
    // The never-placed position (INT_MIN) reads back as itself.
    EXPECT_EQ(Load(), DEFAULT_SETTINGS);
    RemoveTree(company);
}

// A failed save returns false, leaves the previous file as it was and no
// temporary file behind.
TEST_F(SettingsFile, FailedSaveKeepsThePreviousFile) {
    iniPath = File(L"settings.ini");
    const std::wstring temp = iniPath + L".tmp";
    cfg = SaveLoopState(1);
    ASSERT_TRUE(SaveSettings(clockWindow));
    const Bytes before = ReadBytes(iniPath);
    ASSERT_FALSE(before.empty());
    cfg = SaveLoopState(2);

    // The temporary file cannot be created: a folder has its name.
    ASSERT_TRUE(CreateDirectoryW(temp.c_str(), nullptr));
    EXPECT_FALSE(SaveSettings(clockWindow));
    EXPECT_EQ(ReadBytes(iniPath), before);
    EXPECT_TRUE(IsDirectory(temp));
    ASSERT_TRUE(RemoveDirectoryW(temp.c_str()));

    // The target is open without sharing: it cannot be replaced.
    HANDLE held = CreateFileW(iniPath.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(SaveSettings(clockWindow));
    CloseHandle(held);
    EXPECT_EQ(ReadBytes(iniPath), before);
    EXPECT_FALSE(Exists(temp));

    // The folder is gone.
    iniPath = File(L"missing\\settings.ini");
    EXPECT_FALSE(SaveSettings(clockWindow));
    EXPECT_FALSE(Exists(File(L"missing")));

    // No path: nothing is written.
    iniPath.clear();
    EXPECT_FALSE(SaveSettings(clockWindow));

    // And the file still saves once the obstacles are gone.
    iniPath = File(L"settings.ini");
    EXPECT_TRUE(SaveSettings(clockWindow));
    EXPECT_EQ(ReadBytes(iniPath), Utf16File(SettingsText(SaveLoopState(2))));
}

// A handle on a file opened without sharing, as a virus scanner holds a file
// just written; another thread closes it after a moment.
class HeldOpen {
  public:
    HeldOpen(const std::wstring& path, DWORD disposition, DWORD heldMs) : heldMs_(heldMs) {
        file_ = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, disposition, 0, nullptr);
        if (file_ != INVALID_HANDLE_VALUE) thread_ = CreateThread(nullptr, 0, Release, this, 0, nullptr);
    }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;
    ~HeldOpen() {
        if (!thread_) return;
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    bool Held() const { return thread_ != nullptr; }

  private:
    static DWORD WINAPI Release(void* self) {
        auto* held = static_cast<HeldOpen*>(self);
        Sleep(held->heldMs_);
        CloseHandle(held->file_);
        return 0;
    }
    HANDLE file_ = INVALID_HANDLE_VALUE;
    HANDLE thread_ = nullptr;
    DWORD heldMs_;
};

// A file held open for a moment is waited for; one held for longer than the
// waits fails the save and keeps the old bytes. (Wine replaces a file with the
// read-only attribute; the end-to-end scenario makes one that cannot be.)
TEST_F(SettingsFile, SaveWaitsForAFileHeldOpenForAMoment) {
    iniPath = File(L"settings.ini");
    const std::wstring temp = iniPath + L".tmp";
    cfg = SaveLoopState(1);
    ASSERT_TRUE(SaveSettings(clockWindow));

    const struct {
        std::wstring path;
        DWORD disposition;
        const char* what;
    } holds[] = {
        {iniPath, OPEN_EXISTING, "the settings file (the rename waits)"},
        {temp, CREATE_ALWAYS, "a stray temporary file (the create waits)"},
    };
    int state = 2;
    for (const auto& hold : holds) {
        HeldOpen held(hold.path, hold.disposition, 150);
        ASSERT_TRUE(held.Held()) << hold.what;
        cfg = SaveLoopState(state);
        EXPECT_TRUE(SaveSettings(clockWindow)) << hold.what;
        EXPECT_EQ(ReadBytes(iniPath), Utf16File(SettingsText(SaveLoopState(state)))) << hold.what;
        EXPECT_FALSE(Exists(temp)) << hold.what;
        ++state;
    }

    const Bytes before = ReadBytes(iniPath);
    cfg = SaveLoopState(state);
    {
        HeldOpen held(iniPath, OPEN_EXISTING, 2000);
        ASSERT_TRUE(held.Held());
        EXPECT_FALSE(SaveSettings(clockWindow));
    }
    EXPECT_EQ(ReadBytes(iniPath), before);
    EXPECT_FALSE(Exists(temp));
}

TEST_F(SettingsFile, FolderInPlaceOfTheFileIsNotReplaced) {
    iniPath = File(L"settings.ini");
    ASSERT_TRUE(CreateDirectoryW(iniPath.c_str(), nullptr));
    const std::wstring inside = iniPath + L"\\keep.txt";
    WriteBytes(inside, {1, 2, 3});
    EXPECT_FALSE(SaveSettings(clockWindow));
    EXPECT_TRUE(IsDirectory(iniPath));
    EXPECT_EQ(ReadBytes(inside), (Bytes{1, 2, 3}));
    EXPECT_FALSE(Exists(iniPath + L".tmp"));
}

TEST_F(SettingsFile, StrayTemporaryFileIsOverwritten) {
    iniPath = File(L"settings.ini");
    const std::wstring temp = iniPath + L".tmp";
    WriteBytes(temp, Bytes(5000, 'z'));
    cfg = SaveLoopState(3);
    ASSERT_TRUE(SaveSettings(clockWindow));
    EXPECT_EQ(ReadBytes(iniPath), Utf16File(SettingsText(SaveLoopState(3))));
    EXPECT_FALSE(Exists(temp));
}

// The step named by a file's "Y=" line, read straight from its bytes; -1 if there is none.
int StepOf(const Bytes& bytes) {
    std::string ascii;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        ascii.push_back(bytes[i + 1] ? '?' : char(bytes[i]));
    const auto at = ascii.find("\r\nY=");
    if (at == std::string::npos) return -1;
    int step = 0;
    for (std::size_t i = at + 4; i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9' && step < 100000000;
         ++i)
        step = step * 10 + (ascii[i] - '0');
    return step;
}

// A helper process saves known states in a loop and is killed at random
// moments while saving: every time, the file holds one whole state, newer
// than the one found after the kill before.
TEST_F(SettingsFile, KilledWhileSavingLeavesOneWholeState) {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_GT(length, 0u);
    std::wstring helper(self, length);
    helper.replace(helper.find_last_of(L'\\') + 1, std::wstring::npos, L"settings_save_loop.exe");
    ASSERT_TRUE(Exists(helper)) << "missing helper";
    iniPath = File(L"settings.ini");

    const std::wstring eventName = L"Local\\VelmorSaveLoop-" + std::to_wstring(GetCurrentProcessId());
    HANDLE saved = CreateEventW(nullptr, FALSE, FALSE, eventName.c_str());
    ASSERT_NE(saved, nullptr);

    std::mt19937 random(2024);
    const auto start = std::chrono::steady_clock::now();
    int lastStep = -1;
    int kills = 0;
    while (kills < 60 && std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
        std::wstring command = L"\"" + helper + L"\" \"" + iniPath + L"\" " + eventName;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        ASSERT_TRUE(CreateProcessW(helper.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process));
        // Once the helper is saving, let it run for a random moment (each save
        // takes well under a millisecond), then kill it.
        const HANDLE waits[] = {saved, process.hProcess};
        const DWORD woke = WaitForMultipleObjects(2, waits, FALSE, 10000);
        if (woke == WAIT_OBJECT_0) Sleep(random() % 25);
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, 5000);
        DWORD exitCode = 0;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        ASSERT_EQ(woke, WAIT_OBJECT_0) << "the helper did not start saving; exit code " << exitCode;
        ++kills;

        const Bytes bytes = ReadBytes(iniPath);
        const int step = StepOf(bytes);
        ASSERT_GE(step, 0) << "after kill " << kills;
        ASSERT_EQ(bytes, Utf16File(SettingsText(SaveLoopState(step)))) << "after kill " << kills;
        // At least the first save of this run is on disk, and nothing older.
        ASSERT_GT(step, lastStep) << "after kill " << kills;
        lastStep = step;
    }
    CloseHandle(saved);
    std::printf("%d kills, last step %d\n", kills, lastStep);
    EXPECT_GE(kills, 10);
}

} // namespace

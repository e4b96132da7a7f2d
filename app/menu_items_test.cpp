#include "app/menu_items.h"

#include <string>

#include <gtest/gtest.h>

namespace {

// The menu's top level for the default settings, shown clock, no start-up.
TEST(MenuItems, SixteenItemsInOrder) {
    struct Row {
        MenuItemKind kind;
        const wchar_t* text;
        unsigned id;
        bool checked;
    };
    const Row rows[] = {
        {MenuItemKind::Command, L"Clock size...", 100, false},
        {MenuItemKind::Command, L"Always on top", 101, false},
        {MenuItemKind::Command, L"Lock position", 102, false},
        {MenuItemKind::Separator, L"", 0, false},
        {MenuItemKind::Command, L"Show seconds hand", 103, true},
        {MenuItemKind::Command, L"Smooth seconds hand", 104, true},
        {MenuItemKind::Command, L"Crystal reflection", 105, true},
        {MenuItemKind::Submenu, L"Reflection strength", 0, false},
        {MenuItemKind::Command, L"Hand shadows", 106, true},
        {MenuItemKind::Separator, L"", 0, false},
        {MenuItemKind::Command, L"Start with Windows", 107, false},
        {MenuItemKind::Command, L"Bring clock to center", 108, false},
        {MenuItemKind::Command, L"Hide clock", 109, false},
        {MenuItemKind::Separator, L"", 0, false},
        {MenuItemKind::Command, L"About Velmor Clock", 111, false},
        {MenuItemKind::Command, L"Exit", 110, false},
    };
    const std::vector<MenuItem> items = MenuItems(DEFAULT_SETTINGS, true, false);
    ASSERT_EQ(items.size(), std::size(rows));
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(items[i].kind, rows[i].kind);
        EXPECT_EQ(items[i].text, rows[i].text);
        EXPECT_EQ(items[i].id, rows[i].id);
        EXPECT_EQ(items[i].checked, rows[i].checked);
        EXPECT_EQ(items[i].items.empty(), items[i].kind != MenuItemKind::Submenu);
    }
    const std::vector<MenuItem> strengths = {{MenuItemKind::Command, L"Soft", 300, false, {}},
                                             {MenuItemKind::Command, L"Normal", 301, true, {}},
                                             {MenuItemKind::Command, L"Strong", 302, false, {}}};
    EXPECT_EQ(items[7].items, strengths);
}

// Check marks of every item in turn: each follows its own state only.
TEST(MenuItems, CheckMarksFollowTheirStateAlone) {
    const auto checks = [](const Settings& s, bool visible, bool startup) {
        std::string marks;
        for (const MenuItem& item : MenuItems(s, visible, startup)) {
            marks += item.checked ? 'x' : '.';
            for (const MenuItem& sub : item.items) marks += sub.checked ? 'X' : '_';
        }
        return marks;
    };
    Settings off = DEFAULT_SETTINGS;
    off.Seconds = off.Smooth = off.Crystal = off.Shadows = false;
    off.ReflectionStrength = 80;  // from a file: none of the three
    EXPECT_EQ(checks(off, true, false), "........___........");
    const struct {
        void (*change)(Settings&);
        const char* marks;
    } rows[] = {
        {[](Settings& s) { s.AlwaysOnTop = true; }, ".x......___........"},
        {[](Settings& s) { s.LockPosition = true; }, "..x.....___........"},
        {[](Settings& s) { s.Seconds = true; }, "....x...___........"},
        {[](Settings& s) { s.Smooth = true; }, ".....x..___........"},
        {[](Settings& s) { s.Crystal = true; }, "......x.___........"},
        {[](Settings& s) { s.ReflectionStrength = 65; }, "........X__........"},
        {[](Settings& s) { s.ReflectionStrength = 100; }, "........_X_........"},
        {[](Settings& s) { s.ReflectionStrength = 135; }, "........__X........"},
        {[](Settings& s) { s.ReflectionStrength = 136; }, "........___........"},
        {[](Settings& s) { s.Shadows = true; }, "........___x......."},
    };
    for (const auto& row : rows) {
        Settings s = off;
        row.change(s);
        EXPECT_EQ(checks(s, true, false), row.marks);
    }
    EXPECT_EQ(checks(off, true, true), "........___..x.....");
    EXPECT_EQ(MenuItems(off, false, false)[12].text, L"Show clock");
}

// Records each call on the clock as a word.
struct Recorder final : MenuActions {
    std::string log;
    bool& visible;
    bool startup = false;
    bool startupWorks = true;
    std::wstring message;

    explicit Recorder(bool& v) : visible(v) {}
    void Note(const std::string& word) { log += (log.empty() ? "" : " ") + word; }
    void OpenSizeDialog() override { Note("size"); }
    void Schedule() override { Note("schedule"); }
    void KeepVisible(bool center) override { Note(center ? "center" : "keep"); }
    void ShowClock() override {
        visible = true;
        Note("showclock");
    }
    void ShowWindow(bool show) override { Note(show ? "show" : "hide"); }
    bool StartupEnabled() override {
        Note("startup?");
        return startup;
    }
    bool SetStartup(bool enable) override {
        Note(enable ? "startup=1" : "startup=0");
        if (startupWorks) startup = enable;
        return startupWorks;
    }
    void Message(const wchar_t* text, MessageIcon icon) override {
        message = text;
        Note(icon == MessageIcon::Error ? "error" : "info");
    }
    void Close() override { Note("close"); }
    void Render() override { Note("render"); }
    void Save() override { Note("save"); }
};

TEST(MenuCommands, EachCommandChangesItsSettingAndCallsOnTheClock) {
    const struct {
        unsigned id;
        void (*expect)(Settings&);  // the change the command makes
        const char* log;
        bool visibleAfter;
    } rows[] = {
        {CMD_CLOCK_SIZE, [](Settings&) {}, "size render save", false},
        {CMD_ALWAYS_ON_TOP, [](Settings& s) { s.AlwaysOnTop = true; }, "keep render save", false},
        {CMD_LOCK_POSITION, [](Settings& s) { s.LockPosition = true; }, "render save", false},
        {CMD_SECONDS, [](Settings& s) { s.Seconds = true; }, "schedule render save", false},
        {CMD_SMOOTH, [](Settings& s) { s.Smooth = true; }, "schedule render save", false},
        {CMD_CRYSTAL, [](Settings& s) { s.Crystal = true; }, "render save", false},
        {CMD_SHADOWS, [](Settings& s) { s.Shadows = true; }, "render save", false},
        {CMD_SOFT, [](Settings& s) { s.Crystal = true; s.ReflectionStrength = 65; }, "render save", false},
        {CMD_NORMAL, [](Settings& s) { s.Crystal = true; s.ReflectionStrength = 100; }, "render save", false},
        {CMD_STRONG, [](Settings& s) { s.Crystal = true; s.ReflectionStrength = 135; }, "render save", false},
        {CMD_STARTUP, [](Settings&) {}, "startup? startup=1 render save", false},
        {CMD_CENTER, [](Settings&) {}, "showclock center render save", true},
        {CMD_SHOW_HIDE, [](Settings&) {}, "show render save", true},
        {CMD_ABOUT, [](Settings&) {}, "info render save", false},
        {CMD_EXIT, [](Settings&) {}, "close", false},
        {0, [](Settings&) {}, "", false},    // dismissed
        {112, [](Settings&) {}, "", false},  // not on the menu
    };
    Settings off = DEFAULT_SETTINGS;
    off.Seconds = off.Smooth = off.Crystal = off.Shadows = false;
    off.ReflectionStrength = 80;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.id);
        Settings settings = off, expected = off;
        row.expect(expected);
        bool visible = false;
        Recorder clock(visible);
        RunCommand(row.id, settings, visible, clock);
        EXPECT_EQ(settings, expected);
        EXPECT_EQ(clock.log, row.log);
        EXPECT_EQ(visible, row.visibleAfter);
        EXPECT_EQ(clock.message, row.id == CMD_ABOUT ? ABOUT_TEXT : L"");
    }
}

TEST(MenuCommands, TogglesFlipBack) {
    Settings settings = DEFAULT_SETTINGS;
    bool visible = true;
    Recorder clock(visible);
    for (unsigned id : {CMD_ALWAYS_ON_TOP, CMD_LOCK_POSITION, CMD_SECONDS, CMD_SMOOTH, CMD_CRYSTAL, CMD_SHADOWS,
                        CMD_SHOW_HIDE}) {
        RunCommand(id, settings, visible, clock);
        RunCommand(id, settings, visible, clock);
    }
    EXPECT_EQ(settings, DEFAULT_SETTINGS);
    EXPECT_TRUE(visible);
    EXPECT_NE(clock.log.find("hide render save show"), std::string::npos);
}

TEST(MenuCommands, StartWithWindowsAsksAgainAndReportsAFailure) {
    Settings settings = DEFAULT_SETTINGS;
    bool visible = true;
    Recorder clock(visible);
    clock.startup = true;  // registered since the menu opened
    RunCommand(CMD_STARTUP, settings, visible, clock);
    EXPECT_EQ(clock.log, "startup? startup=0 render save");
    EXPECT_FALSE(clock.startup);

    clock.log.clear();
    clock.startupWorks = false;
    RunCommand(CMD_STARTUP, settings, visible, clock);
    EXPECT_EQ(clock.log, "startup? startup=1 error render save");
    EXPECT_EQ(clock.message, L"Windows could not save the startup setting.");
    EXPECT_EQ(settings, DEFAULT_SETTINGS);
}

} // namespace

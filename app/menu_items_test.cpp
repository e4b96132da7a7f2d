#include "app/menu_items.h"

#include <string>

#include <gtest/gtest.h>

namespace {

MenuItem C(const wchar_t* text, unsigned id, bool checked = false) {
    return {MenuItemKind::Command, text, id, checked, {}};
}
const MenuItem SEPARATOR{MenuItemKind::Separator, L"", 0, false, {}};

TEST(MenuItems, SixteenItemsInOrderForTheDefaults) {
    const std::vector<MenuItem> expected = {C(L"Clock size...", 100),
                                            C(L"Always on top", 101),
                                            C(L"Lock position", 102),
                                            SEPARATOR,
                                            C(L"Show seconds hand", 103, true),
                                            C(L"Smooth seconds hand", 104, true),
                                            C(L"Crystal reflection", 105, true),
                                            {MenuItemKind::Submenu,
                                             L"Reflection strength",
                                             0,
                                             false,
                                             {C(L"Soft", 300), C(L"Normal", 301, true), C(L"Strong", 302)}},
                                            C(L"Hand shadows", 106, true),
                                            SEPARATOR,
                                            C(L"Start with Windows", 107),
                                            C(L"Bring clock to center", 108),
                                            C(L"Hide clock", 109),
                                            SEPARATOR,
                                            C(L"About Velmor Clock", 111),
                                            C(L"Exit", 110)};
    EXPECT_EQ(MenuItems(DEFAULT_SETTINGS, true, false), expected);
}

// Each check mark follows its own state alone: x/. for the items, X/_ for the submenu's.
TEST(MenuItems, CheckMarksFollowTheirStateAlone) {
    const auto marks = [](const Settings& s, bool visible, bool startup) {
        std::string text;
        for (const MenuItem& item : MenuItems(s, visible, startup)) {
            text += item.checked ? 'x' : '.';
            for (const MenuItem& sub : item.items)
                text += sub.checked ? 'X' : '_';
        }
        return text;
    };
    Settings off = DEFAULT_SETTINGS;
    off.Seconds = off.Smooth = off.Crystal = off.Shadows = false;
    off.ReflectionStrength = 80; // from a file: none of the three
    const struct {
        void (*change)(Settings&);
        const char* marks;
    } rows[] = {
        {[](Settings&) {}, "........___........"},
        {[](Settings& s) { s.AlwaysOnTop = true; }, ".x......___........"},
        {[](Settings& s) { s.LockPosition = true; }, "..x.....___........"},
        {[](Settings& s) { s.Seconds = true; }, "....x...___........"},
        {[](Settings& s) { s.Smooth = true; }, ".....x..___........"},
        {[](Settings& s) { s.Crystal = true; }, "......x.___........"},
        {[](Settings& s) { s.ReflectionStrength = 65; }, "........X__........"},
        {[](Settings& s) { s.ReflectionStrength = 135; }, "........__X........"},
        {[](Settings& s) { s.Shadows = true; }, "........___x......."},
    };
    for (const auto& row : rows) {
        Settings s = off;
        row.change(s);
        EXPECT_EQ(marks(s, true, false), row.marks);
    }
    EXPECT_EQ(marks(off, true, true), "........___..x.....");
    EXPECT_EQ(MenuItems(off, false, false)[12].text, L"Show clock");
}

// Records each call on the clock as a word.
struct Recorder final : MenuActions {
    std::string log;
    bool& visible;
    bool startupWorks = true;
    std::wstring message;

    explicit Recorder(bool& v) : visible(v) {}
    void Note(const char* word) {
        if (!log.empty()) log += ' ';
        log += word;
    }
    void OpenSizeDialog() override { Note("size"); }
    void Schedule() override { Note("schedule"); }
    void KeepVisible(bool center) override { Note(center ? "center" : "keep"); }
    void RememberPlace() override { Note("remember"); }
    void ShowClock() override {
        Note("showclock");
        visible = true;
    }
    void ShowWindow(bool show) override { Note(show ? "show" : "hide"); }
    bool StartupEnabled() override {
        Note("startup?");
        return true;
    }
    bool SetStartup(bool enable) override {
        Note(enable ? "startup=1" : "startup=0");
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

// From all-off settings (strength 80) and a hidden clock: each command's change
// and its calls on the clock, in order.
TEST(MenuCommands, EachCommandChangesItsSettingAndCallsOnTheClock) {
    const struct {
        unsigned id;
        void (*expect)(Settings&);
        const char* log;
    } rows[] = {
        {CMD_CLOCK_SIZE, [](Settings&) {}, "size render save"},
        {CMD_ALWAYS_ON_TOP, [](Settings& s) { s.AlwaysOnTop = true; }, "keep render save"},
        {CMD_LOCK_POSITION, [](Settings& s) { s.LockPosition = true; }, "render save"},
        {CMD_SECONDS, [](Settings& s) { s.Seconds = true; }, "schedule render save"},
        {CMD_SMOOTH, [](Settings& s) { s.Smooth = true; }, "schedule render save"},
        {CMD_CRYSTAL, [](Settings& s) { s.Crystal = true; }, "render save"},
        {CMD_SHADOWS, [](Settings& s) { s.Shadows = true; }, "render save"},
        {CMD_SOFT, [](Settings& s) { s.Crystal = true, s.ReflectionStrength = 65; }, "render save"},
        {CMD_NORMAL, [](Settings& s) { s.Crystal = true, s.ReflectionStrength = 100; }, "render save"},
        {CMD_STRONG, [](Settings& s) { s.Crystal = true, s.ReflectionStrength = 135; }, "render save"},
        {CMD_STARTUP, [](Settings&) {}, "startup? startup=0 render save"}, // asked again, the opposite set
        {CMD_CENTER, [](Settings&) {}, "showclock center remember render save"},
        {CMD_SHOW_HIDE, [](Settings&) {}, "show render save"},
        {CMD_ABOUT, [](Settings&) {}, "info render save"},
        {CMD_EXIT, [](Settings&) {}, "close"},
        {0, [](Settings&) {}, ""},   // dismissed
        {112, [](Settings&) {}, ""}, // not on the menu
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
        EXPECT_EQ(visible, row.id == CMD_CENTER || row.id == CMD_SHOW_HIDE);
        EXPECT_EQ(clock.message, row.id == CMD_ABOUT ? ABOUT_TEXT : L"");
    }
    // Toggles flip back; a failed start-up change is reported.
    Settings settings = DEFAULT_SETTINGS;
    bool visible = true;
    Recorder clock(visible);
    clock.startupWorks = false;
    for (unsigned id :
         {CMD_ALWAYS_ON_TOP, CMD_LOCK_POSITION, CMD_SECONDS, CMD_SMOOTH, CMD_CRYSTAL, CMD_SHADOWS})
        RunCommand(id, settings, visible, clock);
    Settings flipped = DEFAULT_SETTINGS;
    flipped.AlwaysOnTop = flipped.LockPosition = true;
    flipped.Seconds = flipped.Smooth = flipped.Crystal = flipped.Shadows = false;
    EXPECT_EQ(settings, flipped);
    RunCommand(CMD_STARTUP, settings, visible, clock);
    EXPECT_EQ(clock.message, STARTUP_FAILED);
    EXPECT_TRUE(clock.log.ends_with("startup? startup=0 error render save"));
    // The login session's texts name the item and its failure; nothing else changes.
    RunCommand(CMD_STARTUP, settings, visible, clock, LOGIN_STARTUP_TEXTS);
    EXPECT_EQ(clock.message, LOGIN_STARTUP_TEXTS.failed);
    const std::vector<MenuItem> login = MenuItems(settings, true, true, LOGIN_STARTUP_TEXTS);
    std::vector<MenuItem> windows = MenuItems(settings, true, true);
    EXPECT_EQ(login[10].text, L"Start at login");
    EXPECT_TRUE(login[10].checked);
    windows[10].text = L"Start at login";
    EXPECT_EQ(login, windows);
}

} // namespace

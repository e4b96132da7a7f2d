// The context menu as data: the items it shows for the moment it opens, and
// what each command does to the settings and the clock. The window system
// turns the items into a real menu (app/menu.h).
#pragma once

#include <string>
#include <vector>

#include "resources/version.h"
#include "settings/settings.h"

// Command ids of the menu items. About (111) stands above Exit (110) in the
// menu: the ids do not follow the order of the items.
inline constexpr unsigned CMD_CLOCK_SIZE = 100;
inline constexpr unsigned CMD_ALWAYS_ON_TOP = 101;
inline constexpr unsigned CMD_LOCK_POSITION = 102;
inline constexpr unsigned CMD_SECONDS = 103;
inline constexpr unsigned CMD_SMOOTH = 104;
inline constexpr unsigned CMD_CRYSTAL = 105;
inline constexpr unsigned CMD_SHADOWS = 106;
inline constexpr unsigned CMD_STARTUP = 107;
inline constexpr unsigned CMD_CENTER = 108;
inline constexpr unsigned CMD_SHOW_HIDE = 109;
inline constexpr unsigned CMD_EXIT = 110;
inline constexpr unsigned CMD_ABOUT = 111;
inline constexpr unsigned CMD_SOFT = 300;
inline constexpr unsigned CMD_NORMAL = 301;
inline constexpr unsigned CMD_STRONG = 302;

// Crystal reflection strengths (percent) of the submenu's three items.
inline constexpr int SOFT_STRENGTH = 65;
inline constexpr int NORMAL_STRENGTH = 100;
inline constexpr int STRONG_STRENGTH = 135;

inline constexpr wchar_t STARTUP_FAILED[] = L"Windows could not save the startup setting.";

// The texts that name the system the clock runs on: the start-up item and the
// message when its change fails. Windows' own are the defaults.
struct StartupTexts {
    const wchar_t* item = L"Start with Windows";
    const wchar_t* failed = STARTUP_FAILED;
};
inline constexpr StartupTexts WINDOWS_STARTUP_TEXTS{};
// A desktop session on Linux starts programs "at login" (an autostart entry).
inline constexpr StartupTexts LOGIN_STARTUP_TEXTS{L"Start at login",
                                                  L"The login setting could not be saved."};
inline constexpr wchar_t ABOUT_TEXT[] =
    L"Velmor Clock " VELMOR_VERSION_TEXT "\n\nA standalone vintage desktop clock by Dashwelle.\n\n"
    L"Drag to move. Mouse wheel to resize.\nHold Shift for fine size adjustment.\nRight-click for "
    L"options.\n\n"
    L"High-detail rendering up to 1,200 screen pixels wide.\nNo gadget host or additional runtime required.";

enum class MenuItemKind { Command, Separator, Submenu };

struct MenuItem {
    MenuItemKind kind = MenuItemKind::Command;
    std::wstring text; // empty for a separator
    unsigned id = 0;   // 0 for a separator and the submenu
    bool checked = false;
    std::vector<MenuItem> items; // the submenu's items

    friend bool operator==(const MenuItem&, const MenuItem&) = default;
};

// The sixteen items, top to bottom, with their check marks for `settings`,
// the show/hide choice `visible` and whether the program starts with Windows.
std::vector<MenuItem> MenuItems(const Settings& settings, bool visible, bool startupEnabled,
                                const StartupTexts& texts = WINDOWS_STARTUP_TEXTS);

enum class MessageIcon { Information, Error };

// What carrying out a command needs of the running clock.
class MenuActions {
  public:
    virtual void OpenSizeDialog() = 0;
    virtual void Schedule() = 0;
    virtual void KeepVisible(bool center) = 0;
    // Marks the clock's present place as the user's for the monitor layout in use.
    virtual void RememberPlace() = 0;
    // Brings a hidden clock back (the show/hide choice included).
    virtual void ShowClock() = 0;
    // Shows (without activating) or hides the clock window.
    virtual void ShowWindow(bool show) = 0;
    virtual bool StartupEnabled() = 0;
    virtual bool SetStartup(bool enable) = 0;
    // A message box owned by the clock, with the program's title.
    virtual void Message(const wchar_t* text, MessageIcon icon) = 0;
    // Destroys the clock window, which saves and ends the program.
    virtual void Close() = 0;
    virtual void Render() = 0;
    virtual void Save() = 0;

  protected:
    ~MenuActions() = default;
};

// Carries out the menu command `id` on `settings` and the show/hide choice
// `visible`; every command but Exit ends with a redraw and a save. A dismissed
// menu (0) and ids that are not on the menu change nothing.
void RunCommand(unsigned id, Settings& settings, bool& visible, MenuActions& actions,
                const StartupTexts& texts = WINDOWS_STARTUP_TEXTS);

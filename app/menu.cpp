#include "app/menu.h"

#include "app/clock.h"
#include "app/constants.h"
#include "app/globals.h"
#include "app/size_dialog.h"
#include "app/tray.h"
#include "settings/settings.h"
#include "settings/startup.h"

namespace {

// TrackPopupMenu returns the chosen id instead of posting it; either button picks.
constexpr UINT TRACK_FLAGS = TPM_RETURNCMD | TPM_RIGHTBUTTON;

// A menu command's effects on the running clock.
class ClockMenuActions final : public MenuActions {
  public:
    explicit ClockMenuActions(MessageBoxFunction messageBox) : messageBox_(messageBox) {}

    void OpenSizeDialog() override { ::OpenSizeDialog(); }
    void Schedule() override { ::Schedule(); }
    void KeepVisible(bool center) override { ::KeepVisible(center); }
    void RememberPlace() override { ::RememberPlace(); }
    void ShowClock() override { ::ShowClock(); }
    void ShowWindow(bool show) override { ::ShowWindow(windowHandle, show ? SW_SHOWNOACTIVATE : SW_HIDE); }
    bool StartupEnabled() override { return ::StartupEnabled(); }
    bool SetStartup(bool enable) override { return ::SetStartup(enable); }
    void Message(const wchar_t* text, MessageIcon icon) override {
        messageBox_(windowHandle, text, TITLE,
                    icon == MessageIcon::Error ? MB_ICONERROR : MB_ICONINFORMATION);
    }
    void Close() override { DestroyWindow(windowHandle); }
    void Render() override { ::Render(); }
    void Save() override { ::SaveSettings(); }

  private:
    MessageBoxFunction messageBox_;
};

// A popup menu holding `items`; the caller destroys it.
HMENU CreateContextMenu(const std::vector<MenuItem>& items) {
    const HMENU menu = CreatePopupMenu();
    for (const MenuItem& item : items) {
        switch (item.kind) {
        case MenuItemKind::Separator:
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            break;
        case MenuItemKind::Submenu:
            AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(CreateContextMenu(item.items)),
                        item.text.c_str());
            break;
        case MenuItemKind::Command:
            AppendMenuW(menu, MF_STRING | (item.checked ? MF_CHECKED : MF_UNCHECKED), item.id,
                        item.text.c_str());
            break;
        }
    }
    return menu;
}

} // namespace

UINT Menu(POINT point) {
    return Menu(point, MessageBoxW);
}

UINT Menu(POINT point, MessageBoxFunction messageBox) {
    FinishResize();
    const HMENU menu = CreateContextMenu(MenuItems(cfg, visible, StartupEnabled()));
    // The menu closes when the user clicks elsewhere only if its owner is in front.
    SetForegroundWindow(windowHandle);
    const UINT id =
        static_cast<UINT>(TrackPopupMenu(menu, TRACK_FLAGS, point.x, point.y, 0, windowHandle, nullptr));
    DestroyMenu(menu); // and its submenu with it
    // Lets the menu's modal loop see the window's next message and close properly.
    PostMessageW(windowHandle, WM_NULL, 0, 0);
    ClockMenuActions actions(messageBox);
    RunCommand(id, cfg, visible, actions);
    return id;
}

#include "linux/menu.h"

#include "app/menu_items.h"
#include "linux/autostart.h"
#include "linux/clock.h"
#include "linux/globals.h"
#include "linux/size_dialog.h"
#include "linux/text.h"
#include "linux/window.h"
#include "settings/settings.h"

namespace {

GtkWidget* openMenu = nullptr; // the menu last popped up; destroyed when the next one opens
StateChanged stateChanged = nullptr;

// Items that show a check mark when their setting is on (the others never do).
bool Checkable(unsigned id) {
    switch (id) {
    case CMD_ALWAYS_ON_TOP:
    case CMD_LOCK_POSITION:
    case CMD_SECONDS:
    case CMD_SMOOTH:
    case CMD_CRYSTAL:
    case CMD_SHADOWS:
    case CMD_STARTUP:
    case CMD_SOFT:
    case CMD_NORMAL:
    case CMD_STRONG:
        return true;
    default:
        return false;
    }
}

// The command runs once the menu is gone, as it does after a menu's own loop.
gboolean RunLater(gpointer id) {
    RunMenuCommand(GPOINTER_TO_UINT(id));
    return G_SOURCE_REMOVE;
}

void OnActivate(GtkMenuItem*, gpointer id) {
    g_idle_add(RunLater, id);
}

GtkWidget* MenuFrom(const std::vector<MenuItem>& items) {
    GtkWidget* menu = gtk_menu_new();
    for (const MenuItem& item : items) {
        GtkWidget* widget = nullptr;
        const std::string text = Utf8(item.text);
        switch (item.kind) {
        case MenuItemKind::Separator:
            widget = gtk_separator_menu_item_new();
            break;
        case MenuItemKind::Submenu:
            widget = gtk_menu_item_new_with_label(text.c_str());
            gtk_menu_item_set_submenu(GTK_MENU_ITEM(widget), MenuFrom(item.items));
            break;
        case MenuItemKind::Command:
            if (Checkable(item.id)) {
                widget = gtk_check_menu_item_new_with_label(text.c_str());
                gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), item.checked);
                // The strengths are one choice of three (or none, for another strength).
                const bool strength = item.id == CMD_SOFT || item.id == CMD_NORMAL || item.id == CMD_STRONG;
                gtk_check_menu_item_set_draw_as_radio(GTK_CHECK_MENU_ITEM(widget), strength);
            } else {
                widget = gtk_menu_item_new_with_label(text.c_str());
            }
            g_signal_connect(widget, "activate", G_CALLBACK(OnActivate), GUINT_TO_POINTER(item.id));
            break;
        }
        gtk_menu_shell_append(GTK_MENU_SHELL(menu), widget);
    }
    gtk_widget_show_all(menu);
    return menu;
}

class LinuxMenuActions final : public MenuActions {
  public:
    void OpenSizeDialog() override { ::OpenSizeDialog(); }
    void Schedule() override { ::Schedule(); }
    void KeepVisible(bool center) override { ::KeepVisible(center); }
    void RememberPlace() override { ::RememberPlace(); }
    void ShowClock() override { ::ShowClock(); }
    void ShowWindow(bool show) override {
        if (show)
            gtk_widget_show(clockWindow);
        else
            gtk_widget_hide(clockWindow);
    }
    bool StartupEnabled() override { return ::StartupEnabled(); }
    bool SetStartup(bool enable) override { return ::SetStartup(enable); }
    void Message(const wchar_t* text, MessageIcon icon) override {
        ShowMessage(Utf8(text), icon == MessageIcon::Error ? GTK_MESSAGE_ERROR : GTK_MESSAGE_INFO);
    }
    void Close() override { CloseClock(); }
    void Render() override { ::Render(); }
    void Save() override { SaveSettings(); }
};

} // namespace

GtkWidget* BuildMenu() {
    return MenuFrom(MenuItems(cfg, visible, StartupEnabled(), LOGIN_STARTUP_TEXTS));
}

void PopUpMenu(const GdkEvent* event) {
    FinishResize();
    if (openMenu) gtk_widget_destroy(openMenu);
    openMenu = BuildMenu();
    gtk_menu_attach_to_widget(GTK_MENU(openMenu), clockWindow, nullptr);
    if (event)
        gtk_menu_popup_at_pointer(GTK_MENU(openMenu), event);
    else
        gtk_menu_popup_at_widget(GTK_MENU(openMenu), clockWindow, GDK_GRAVITY_CENTER, GDK_GRAVITY_NORTH_WEST,
                                 nullptr);
}

void RunMenuCommand(unsigned id) {
    if (!clockWindow) return;
    LinuxMenuActions actions;
    RunCommand(id, cfg, visible, actions, LOGIN_STARTUP_TEXTS);
    if (clockWindow && stateChanged) stateChanged();
}

void SetStateChanged(StateChanged handler) {
    stateChanged = handler;
}

#include "app/menu_items.h"

#include <utility>

namespace {

MenuItem Command(const wchar_t* text, unsigned id, bool checked = false) {
    return {MenuItemKind::Command, text, id, checked, {}};
}

MenuItem Separator() {
    return {MenuItemKind::Separator, {}, 0, false, {}};
}

// Sets a strength from the submenu; choosing one means wanting the reflection.
void SetStrength(Settings& settings, int strength) {
    settings.ReflectionStrength = strength;
    settings.Crystal = true;
}

// Carries out a command that is not Exit; false for an id not on the menu.
bool Apply(unsigned id, Settings& settings, bool& visible, MenuActions& actions, const StartupTexts& texts) {
    switch (id) {
    case CMD_CLOCK_SIZE:
        actions.OpenSizeDialog();
        return true;
    case CMD_ALWAYS_ON_TOP:
        settings.AlwaysOnTop = !settings.AlwaysOnTop;
        actions.KeepVisible(false); // applies the z-order
        return true;
    case CMD_LOCK_POSITION:
        settings.LockPosition = !settings.LockPosition;
        return true;
    case CMD_SECONDS:
        settings.Seconds = !settings.Seconds;
        actions.Schedule();
        return true;
    case CMD_SMOOTH:
        settings.Smooth = !settings.Smooth;
        actions.Schedule();
        return true;
    case CMD_CRYSTAL:
        settings.Crystal = !settings.Crystal;
        return true;
    case CMD_SHADOWS:
        settings.Shadows = !settings.Shadows;
        return true;
    case CMD_SOFT:
        SetStrength(settings, SOFT_STRENGTH);
        return true;
    case CMD_NORMAL:
        SetStrength(settings, NORMAL_STRENGTH);
        return true;
    case CMD_STRONG:
        SetStrength(settings, STRONG_STRENGTH);
        return true;
    case CMD_STARTUP:
        // The registration is asked for again: the menu's check mark may be stale.
        if (!actions.SetStartup(!actions.StartupEnabled())) actions.Message(texts.failed, MessageIcon::Error);
        return true;
    case CMD_CENTER:
        actions.ShowClock();
        actions.KeepVisible(true);
        actions.RememberPlace(); // a place the user asked for, like one dragged to
        return true;
    case CMD_SHOW_HIDE:
        visible = !visible;
        actions.ShowWindow(visible);
        return true;
    case CMD_ABOUT:
        actions.Message(ABOUT_TEXT, MessageIcon::Information);
        return true;
    default:
        return false;
    }
}

} // namespace

std::vector<MenuItem> MenuItems(const Settings& settings, bool visible, bool startupEnabled,
                                const StartupTexts& texts) {
    const int strength = settings.ReflectionStrength;
    MenuItem strengths{MenuItemKind::Submenu,
                       L"Reflection strength",
                       0,
                       false,
                       {Command(L"Soft", CMD_SOFT, strength == SOFT_STRENGTH),
                        Command(L"Normal", CMD_NORMAL, strength == NORMAL_STRENGTH),
                        Command(L"Strong", CMD_STRONG, strength == STRONG_STRENGTH)}};
    return {Command(L"Clock size...", CMD_CLOCK_SIZE),
            Command(L"Always on top", CMD_ALWAYS_ON_TOP, settings.AlwaysOnTop),
            Command(L"Lock position", CMD_LOCK_POSITION, settings.LockPosition),
            Separator(),
            Command(L"Show seconds hand", CMD_SECONDS, settings.Seconds),
            Command(L"Smooth seconds hand", CMD_SMOOTH, settings.Smooth),
            Command(L"Crystal reflection", CMD_CRYSTAL, settings.Crystal),
            std::move(strengths),
            Command(L"Hand shadows", CMD_SHADOWS, settings.Shadows),
            Separator(),
            Command(texts.item, CMD_STARTUP, startupEnabled),
            Command(L"Bring clock to center", CMD_CENTER),
            Command(visible ? L"Hide clock" : L"Show clock", CMD_SHOW_HIDE),
            Separator(),
            Command(L"About Velmor Clock", CMD_ABOUT),
            Command(L"Exit", CMD_EXIT)};
}

void RunCommand(unsigned id, Settings& settings, bool& visible, MenuActions& actions,
                const StartupTexts& texts) {
    if (id == CMD_EXIT) {
        actions.Close(); // the window saves once as it goes
        return;
    }
    if (!Apply(id, settings, visible, actions, texts)) return;
    actions.Render();
    actions.Save();
}

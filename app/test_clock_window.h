// Test helpers for the shell's Win32 parts: a real layered clock window in
// `windowHandle` drawn by the built-in renderer, settings saved to a file of
// the test's own, the size dialog's class, and message pumps.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/clock.h"
#include "app/constants.h"
#include "app/globals.h"
#include "app/menu_items.h"
#include "app/open_clock.h"
#include "placement/dpi.h"
#include "presentation/present.h"
#include "presentation/test_renderer.h"
#include "settings/settings.h"
#include "settings/settings_file.h"

// What the clock window saw of the last popup menu: its items read back from
// the real menu when it opened, where its window stood once its modal loop
// waited, and keys to post then.
struct MenuProbe {
    std::vector<MenuItem> items;
    RECT place{};
    std::vector<WPARAM> keys;
    int opened = 0;
};
inline MenuProbe menuProbe;

// The real menu's items, read back with GetMenuItemInfoW.
inline std::vector<MenuItem> ReadMenu(HMENU menu) {
    std::vector<MenuItem> items;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[80] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = static_cast<UINT>(std::size(text));
        EXPECT_TRUE(GetMenuItemInfoW(menu, i, TRUE, &info));
        const bool separator = info.fType & MFT_SEPARATOR;
        EXPECT_TRUE(separator || !(info.fState & MFS_DISABLED)) << "greyed: " << i;
        const MenuItemKind kind = separator       ? MenuItemKind::Separator
                                  : info.hSubMenu ? MenuItemKind::Submenu
                                                  : MenuItemKind::Command;
        items.push_back({kind, text, kind == MenuItemKind::Command ? info.wID : 0,
                         (info.fState & MFS_CHECKED) != 0,
                         info.hSubMenu ? ReadMenu(info.hSubMenu) : std::vector<MenuItem>{}});
    }
    return items;
}

// The keys that pick command `id` from a menu of `items` just opened with
// nothing selected: Down to the item (separators are skipped), Right into the
// submenu, which opens on its first item, Return.
inline std::vector<WPARAM> KeysFor(const std::vector<MenuItem>& items, unsigned id) {
    std::vector<WPARAM> keys;
    for (const MenuItem& item : items) {
        if (item.kind == MenuItemKind::Separator) continue;
        keys.push_back(VK_DOWN);
        std::size_t sub = 0;
        while (sub < item.items.size() && item.items[sub].id != id)
            ++sub;
        if (sub < item.items.size()) keys.push_back(VK_RIGHT), keys.insert(keys.end(), sub, VK_DOWN);
        if (item.id == id || sub < item.items.size()) return keys.push_back(VK_RETURN), keys;
    }
    return {VK_ESCAPE}; // not on the menu
}

inline LRESULT CALLBACK TestClockProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITMENUPOPUP:
        if (HIWORD(lParam) == FALSE && GetMenuItemCount(reinterpret_cast<HMENU>(wParam)) > 3) {
            menuProbe.items = ReadMenu(reinterpret_cast<HMENU>(wParam));
            ++menuProbe.opened;
        }
        return 0;
    case WM_ENTERIDLE:
        // The menu's loop waits for input (lParam is the menu's window): give
        // it the keys, once.
        if (wParam == MSGF_MENU) {
            if (lParam) GetWindowRect(reinterpret_cast<HWND>(lParam), &menuProbe.place);
            for (WPARAM key : menuProbe.keys)
                PostMessageW(window, WM_KEYDOWN, key, 0);
            menuProbe.keys.clear();
        }
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// Handles the messages waiting and those arriving for `ms` milliseconds,
// through the size dialog's keyboard handling as the program's loop does;
// returns how many clock ticks (timer 1) arrived.
inline int Pump(DWORD ms = 0) {
    int ticks = 0;
    const ULONGLONG end = GetTickCount64() + ms;
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.hwnd == windowHandle && msg.wParam == 1) ++ticks;
            if (sizeWindow && IsDialogMessageW(sizeWindow, &msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (ms) MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (GetTickCount64() < end);
    return ticks;
}

// The shell's globals as start-up leaves them before the clock window exists:
// 96 DPI, shown, the built-in renderer, default settings saved to a file of
// this test's own, the program's window classes registered. Whatever window a
// test makes in `windowHandle` (and the size dialog) is destroyed afterwards,
// its messages handled, and every global put back.
class WithShell : public WithBuiltInRenderer {
  protected:
    void SetUp() override {
        WithBuiltInRenderer::SetUp();
        if (HasFatalFailure()) return;
        instance = GetModuleHandleW(nullptr);
        dpi = 96;
        visible = true;
        initializing = true;
        iniPath = (std::filesystem::temp_directory_path() /
                   (L"velmor-shell-test-" + std::to_wstring(GetCurrentProcessId()) + L".ini"))
                      .wstring();
        std::filesystem::remove(iniPath);
        RegisterClasses(instance);
    }
    void TearDown() override {
        if (sizeWindow) DestroyWindow(sizeWindow);
        if (windowHandle && IsWindow(windowHandle)) DestroyWindow(windowHandle);
        windowHandle = nullptr;
        Pump();
        FreeDib();
        presentationFrame = {};
        resizeMotion = {};
        dpi = 96;
        visible = true;
        initializing = true;
        std::filesystem::remove(iniPath);
        iniPath.clear();
        UnregisterClassW(APPCLASS, instance);
        UnregisterClassW(SIZECLASS, instance);
        WithBuiltInRenderer::TearDown();
    }
    static RECT WindowRect(HWND window) {
        RECT rect{};
        GetWindowRect(window, &rect);
        return rect;
    }
};

// A clock window like the program's at (100, 100), 320 pixels wide, drawn and
// shown, with a procedure that reads back each menu it opens.
class WithClockWindow : public WithShell {
  protected:
    void SetUp() override {
        WithShell::SetUp();
        if (HasFatalFailure()) return;
        menuProbe = {};
        windowHandle = CreateLayeredTestWindow(L"VelmorClock.ShellTest", TestClockProc);
        ASSERT_NE(windowHandle, nullptr);
        ASSERT_TRUE(Render());
        ShowWindow(windowHandle, SW_SHOWNOACTIVATE);
        Forget();
    }

    // Forgets the last frame and the settings file, so that Drawn() and Saved()
    // tell whether the clock was drawn or saved since.
    static void Forget() {
        presentationFrame = {};
        std::filesystem::remove(iniPath);
    }
    static bool Drawn() { return !presentationFrame.pixels.empty(); }
    static bool Saved() { return std::filesystem::exists(iniPath); }
};

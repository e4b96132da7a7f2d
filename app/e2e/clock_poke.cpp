// clock-poke.exe: the end-to-end tests' hand inside Windows. Finds the running
// clock by its window class, sends it the messages a user's system sends (Wine
// raises none of them on cue) and reports what only Windows can tell.
//
//   clock-poke info                 rect, styles, z-order, title, visibility, work area, icon,
//                                   whether the clock is the foreground window
//   clock-poke menu                 whether a popup menu is open, and where
//   clock-poke timechange | resume | suspend | taskbar | workarea | displaychange | close | show
//   clock-poke dpi DPI L T R B      WM_DPICHANGED with that suggested rectangle
//   clock-poke session lock | unlock | disconnect | connect
//                                   the session's notice (WM_WTSSESSION_CHANGE)
//   clock-poke display off | dimmed | on
//                                   the display's power notice (PBT_POWERSETTINGCHANGE)
//   clock-poke nest DPI L T R B     arms WM_DPICHANGED with that rectangle to be sent from inside
//                                   the clock's own next SetWindowPos (dpi-nest.dll's hook),
//                                   prints "armed", then "nested SENT KEPT": sent within 30 s,
//                                   and the window still where it was when it returned
//   clock-poke scaled DPI           WM_GETDPISCALEDSIZE: "scaled CX CY RESULT", the size the
//                                   clock asks for at DPI and what it returned
//   clock-poke untray               removes the clock's notification icon
//   clock-poke icon select | menu [X Y]
//                                   the icon's left click or right click (or Enter, or the
//                                   menu key) with the anchor point the shell sends, the
//                                   cursor unless X Y is given (posted: the menu is modal)
//   clock-poke move X Y             moves the clock without sizing or activating it
//   clock-poke resources            the clock process's GDI and USER objects and private bytes
//   clock-poke path                 the clock process's id and program file: "pid ID\npath PATH"
//   clock-poke dialog [close]       whether the size dialog is open; close sends it WM_CLOSE
//   clock-poke load NAME            LoadLibraryW(NAME) by the default search: "loaded 0|1"
//   clock-poke on-enter COMMAND...  prints "ready", runs COMMAND after a line of input,
//                                   then prints "sent": a test times the message exactly
//
// Exit codes: 0 done, 10 no clock running, 11 bad command line, 12 the call
// failed. Any other code is Wine's: it ends a start of the tool with 1 now and
// then, before the tool has said a word.
#include <windows.h>

#include <psapi.h>
#include <shellapi.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "app/constants.h"
#include "app/e2e/nested_dpi.h"
#include "testing/display_state_notice.h"

namespace {

constexpr int DONE = 0;
constexpr int NO_CLOCK = 10;
constexpr int USAGE = 11;
constexpr int FAILED = 12;

constexpr UINT SEND_TIMEOUT_MS = 10000; // a hung clock fails the test instead of hanging it
constexpr UINT TRAY_ICON_ID = 1;
constexpr wchar_t MENU_CLASS[] = L"#32768"; // the system's popup menu windows

// Wine 8 answers GetGuiResources with 0 (not implemented); its GDI handles sit
// in a table the process's PEB points at, as on old Windows: 0x10000 entries
// of 24 bytes, the type byte at offset 14, 0 for a free entry.
constexpr SIZE_T PEB_GDI_TABLE_OFFSET = 0xF8;
constexpr size_t GDI_TABLE_ENTRIES = 0x10000;
constexpr size_t GDI_ENTRY_BYTES = 24;
constexpr size_t GDI_ENTRY_TYPE_OFFSET = 14;

void PrintRect(const char* name, const RECT& r) {
    std::printf("%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right, r.bottom);
}

// A failed send says why on stderr (the scenario's poke.log): the error and how
// long it waited tell a hung clock (at once) from a slow one (the whole timeout).
bool Send(HWND clock, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    const ULONGLONG start = GetTickCount64();
    if (SendMessageTimeoutW(clock, message, wParam, lParam, SMTO_ABORTIFHUNG, SEND_TIMEOUT_MS, &result))
        return true;
    std::fprintf(stderr, "clock-poke: message 0x%x not answered: error %lu after %llu ms\n", message,
                 GetLastError(), GetTickCount64() - start);
    return false;
}

// The icon exists exactly when modifying nothing of it succeeds.
bool TrayIcon(HWND clock, DWORD action) {
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = clock;
    icon.uID = TRAY_ICON_ID;
    return Shell_NotifyIconW(action, &icon) != 0;
}

int Info(HWND clock) {
    RECT rect{};
    GetWindowRect(clock, &rect);
    PrintRect("rect", rect);
    const LONG_PTR exStyle = GetWindowLongPtrW(clock, GWL_EXSTYLE);
    std::printf("layered %d\ntoolwindow %d\ntopmost %d\n", (exStyle & WS_EX_LAYERED) != 0,
                (exStyle & WS_EX_TOOLWINDOW) != 0, (exStyle & WS_EX_TOPMOST) != 0);
    wchar_t title[128] = L"";
    GetWindowTextW(clock, title, 128);
    char utf8[512] = "";
    WideCharToMultiByte(CP_UTF8, 0, title, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::printf("title %s\nvisible %d\n", utf8, IsWindowVisible(clock) != 0);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor);
    PrintRect("monitor", monitor.rcMonitor);
    PrintRect("work", monitor.rcWork);
    std::printf("icon %d\n", TrayIcon(clock, NIM_MODIFY));
    std::printf("foreground %d\n", GetForegroundWindow() == clock);
    return DONE;
}

// The first visible popup menu: Wine may keep hidden menu windows about.
BOOL CALLBACK FindMenu(HWND window, LPARAM found) {
    wchar_t name[16] = L"";
    GetClassNameW(window, name, 16);
    if (std::wcscmp(name, MENU_CLASS) != 0 || !IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

int Menu() {
    HWND menu = nullptr;
    EnumWindows(FindMenu, reinterpret_cast<LPARAM>(&menu));
    if (!menu) {
        std::printf("menu 0\n");
        return DONE;
    }
    RECT rect{};
    GetWindowRect(menu, &rect);
    PrintRect("menu 1", rect);
    return DONE;
}

// A message whose lParam points at `data`: the system carries neither
// WM_DPICHANGED's rectangle, WM_GETDPISCALEDSIZE's size nor a power setting across processes, so
// `data` is written into the clock's own memory, the message points there, and
// what the clock left there is read back into `data`.
bool SendWithData(HWND clock, UINT message, WPARAM wParam, void* data, SIZE_T bytes, LRESULT& result) {
    DWORD processId = 0;
    GetWindowThreadProcessId(clock, &processId);
    const HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ, FALSE, processId);
    if (!process) return false;
    void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    bool sent = false;
    if (remote && WriteProcessMemory(process, remote, data, bytes, nullptr)) {
        DWORD_PTR answer = 0;
        sent = SendMessageTimeoutW(clock, message, wParam, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                                   SEND_TIMEOUT_MS, &answer) != 0 &&
               ReadProcessMemory(process, remote, data, bytes, nullptr);
        result = static_cast<LRESULT>(answer);
    }
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return sent;
}

int DpiChanged(HWND clock, int dpi, RECT suggested) {
    LRESULT result = 0;
    return SendWithData(clock, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), &suggested, sizeof suggested, result)
               ? DONE
               : FAILED;
}

// The size is first the 1 x 1 nobody would ask for, so an unanswered question shows.
int ScaledSize(HWND clock, int dpi) {
    SIZE size{1, 1};
    LRESULT result = 0;
    if (!SendWithData(clock, WM_GETDPISCALEDSIZE, static_cast<WPARAM>(dpi), &size, sizeof size, result))
        return FAILED;
    std::printf("scaled %ld %ld %lld\n", size.cx, size.cy, static_cast<long long>(result));
    return DONE;
}

constexpr DWORD NEST_WAIT_MS = 30000;

// The hook library lies beside this program.
HMODULE LoadNestLibrary() {
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    std::wstring library(path);
    library.resize(library.find_last_of(L"\\/") + 1);
    return LoadLibraryW((library + NESTED_DPI_LIBRARY).c_str());
}

int Nest(HWND clock, int dpi, const RECT& suggested) {
    const HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              sizeof(NestedDpiChange), NESTED_DPI_MAPPING);
    auto* nested = mapping
                       ? static_cast<NestedDpiChange*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0))
                       : nullptr;
    const HMODULE library = LoadNestLibrary();
    const auto hook =
        library
            ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library, NESTED_DPI_HOOK)))
            : nullptr;
    HHOOK installed = nullptr;
    if (nested && hook) {
        *nested = NestedDpiChange{1, static_cast<UINT>(dpi), suggested, 0, {}, {}};
        installed =
            SetWindowsHookExW(WH_CALLWNDPROC, hook, library, GetWindowThreadProcessId(clock, nullptr));
    }
    int code = FAILED;
    if (installed) {
        std::printf("armed\n");
        std::fflush(stdout);
        const ULONGLONG end = GetTickCount64() + NEST_WAIT_MS;
        while (!nested->sent && GetTickCount64() < end)
            Sleep(20);
        UnhookWindowsHookEx(installed);
        std::printf("nested %ld %d\n", nested->sent, EqualRect(&nested->before, &nested->after) != 0);
        code = DONE;
    }
    if (nested) UnmapViewOfFile(nested);
    if (mapping) CloseHandle(mapping);
    return code;
}

// The console display's power state as Windows reports it: 0 off, 1 on, 2 dimmed.
bool DisplayState(HWND clock, DWORD state) {
    DisplayStateNotice notice = MakeDisplayStateNotice(state);
    LRESULT result = 0;
    return SendWithData(clock, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE, &notice, sizeof notice, result);
}

// GDI objects counted in the process's own handle table; -1 when it cannot be read.
long GdiTableCount(HANDLE process) {
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return -1;
    const auto* pebAddress = reinterpret_cast<const char*>(basic.PebBaseAddress);
    void* table = nullptr;
    if (!ReadProcessMemory(process, pebAddress + PEB_GDI_TABLE_OFFSET, &table, sizeof table, nullptr) ||
        !table)
        return -1;
    std::vector<unsigned char> entries(GDI_TABLE_ENTRIES * GDI_ENTRY_BYTES);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size(), nullptr)) return -1;
    long used = 0;
    for (size_t i = 0; i < GDI_TABLE_ENTRIES; ++i)
        used += entries[i * GDI_ENTRY_BYTES + GDI_ENTRY_TYPE_OFFSET] != 0;
    return used;
}

struct WindowCount {
    DWORD processId;
    long windows;
};

BOOL CALLBACK CountChild(HWND window, LPARAM state) {
    auto& count = *reinterpret_cast<WindowCount*>(state);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    count.windows += owner == count.processId;
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM state) {
    CountChild(window, state);
    EnumChildWindows(window, CountChild, state);
    return TRUE;
}

// One line: "resources GDI USER PRIVATE-BYTES SOURCE", SOURCE "windows" when
// GetGuiResources answered, else "wine": the GDI table and the process's windows.
int Resources(HWND clock) {
    DWORD processId = 0;
    GetWindowThreadProcessId(clock, &processId);
    const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return FAILED;
    long gdi = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
    long user = static_cast<long>(GetGuiResources(process, GR_USEROBJECTS));
    const bool answered = gdi != 0;
    if (!answered) {
        gdi = GdiTableCount(process);
        WindowCount count{processId, 0};
        EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
        user = count.windows;
    }
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    const bool measured =
        GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    CloseHandle(process);
    if (!measured || gdi < 0) return FAILED;
    // Windows gives both as the commit charge; Wine, asked about another
    // process, fills only the page-file figure (the process's private data).
    const SIZE_T privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    std::printf("resources %ld %ld %llu %s\n", gdi, user, static_cast<unsigned long long>(privateBytes),
                answered ? "windows" : "wine");
    return DONE;
}

// Which program runs the clock: an upgrade starts the installed one.
int ProgramPath(HWND clock) {
    DWORD processId = 0;
    GetWindowThreadProcessId(clock, &processId);
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return FAILED;
    wchar_t path[32768] = L"";
    DWORD length = 32768;
    const bool read = QueryFullProcessImageNameW(process, 0, path, &length) != 0;
    CloseHandle(process);
    if (!read) return FAILED;
    std::vector<char> utf8(4 * length + 1);
    WideCharToMultiByte(CP_UTF8, 0, path, -1, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
    std::printf("pid %lu\npath %s\n", processId, utf8.data());
    return DONE;
}

int Dialog(bool close) {
    const HWND dialog = FindWindowW(SIZECLASS, nullptr);
    if (close) return dialog && Send(dialog, WM_CLOSE, 0, 0) ? DONE : FAILED;
    std::printf("dialog %d\n", dialog != nullptr);
    return DONE;
}

int Run(int count, wchar_t** arguments) {
    if (count < 2) return USAGE;
    const std::wstring command = arguments[1];
    if (command == L"on-enter") {
        std::printf("ready\n");
        std::fflush(stdout);
        char line[64];
        if (!std::fgets(line, sizeof line, stdin)) return USAGE;
        const int code = Run(count - 1, arguments + 1);
        std::printf("sent\n");
        return code;
    }
    const HWND clock = FindWindowW(APPCLASS, nullptr);
    if (command == L"menu") return Menu();
    if (command == L"load" && count == 3) {
        std::printf("loaded %d\n", LoadLibraryW(arguments[2]) != nullptr);
        return DONE;
    }
    if (command == L"dialog") return Dialog(count == 3 && std::wstring(arguments[2]) == L"close");
    if (!clock) return NO_CLOCK;
    auto number = [&](int i) { return static_cast<int>(std::wcstol(arguments[i], nullptr, 10)); };
    auto sent = [](bool ok) { return ok ? DONE : FAILED; };

    if (command == L"info") return Info(clock);
    if (command == L"resources") return Resources(clock);
    if (command == L"path") return ProgramPath(clock);
    if (command == L"timechange") return sent(Send(clock, WM_TIMECHANGE, 0, 0));
    if (command == L"resume") return sent(Send(clock, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0));
    if (command == L"suspend") return sent(Send(clock, WM_POWERBROADCAST, PBT_APMSUSPEND, 0));
    if (command == L"taskbar") return sent(Send(clock, RegisterWindowMessageW(TASKBAR_MESSAGE), 0, 0));
    if (command == L"workarea") return sent(Send(clock, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0));
    if (command == L"displaychange") return sent(Send(clock, WM_DISPLAYCHANGE, 32, 0));
    if (command == L"close") return sent(Send(clock, WM_CLOSE, 0, 0));
    if (command == L"show") return sent(Send(clock, WM_SHOW_REQUEST, 0, 0));
    if (command == L"untray") return sent(TrayIcon(clock, NIM_DELETE));
    if (command == L"session" && count == 3) {
        const std::wstring event = arguments[2];
        const WPARAM code = event == L"lock"         ? WTS_SESSION_LOCK
                            : event == L"unlock"     ? WTS_SESSION_UNLOCK
                            : event == L"disconnect" ? WTS_CONSOLE_DISCONNECT
                            : event == L"connect"    ? WTS_CONSOLE_CONNECT
                                                     : 0;
        return code ? sent(Send(clock, WM_WTSSESSION_CHANGE, code, 0)) : USAGE;
    }
    if (command == L"display" && count == 3) {
        const std::wstring state = arguments[2];
        if (state != L"off" && state != L"dimmed" && state != L"on") return USAGE;
        return sent(DisplayState(clock, state == L"off" ? 0 : state == L"on" ? 1 : 2));
    }
    if (command == L"icon" && (count == 3 || count == 5)) {
        const std::wstring event = arguments[2];
        if (event != L"select" && event != L"menu") return USAGE;
        POINT anchor{};
        if (count == 5)
            anchor = POINT{number(3), number(4)};
        else
            GetCursorPos(&anchor);
        // Version 4 of the icon's callback: the event in the low word of
        // lParam, the icon's id in its high word, the anchor in wParam.
        const WORD message = event == L"select" ? NIN_SELECT : WM_CONTEXTMENU;
        return sent(PostMessageW(clock, WM_TRAY, MAKEWPARAM(anchor.x, anchor.y),
                                 MAKELPARAM(message, TRAY_ICON_ID)) != 0);
    }
    if (command == L"move" && count == 4)
        return sent(SetWindowPos(clock, nullptr, number(2), number(3), 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE) != 0);
    if (command == L"nest" && count == 7)
        return Nest(clock, number(2), RECT{number(3), number(4), number(5), number(6)});
    if (command == L"scaled" && count == 3) return ScaledSize(clock, number(2));
    if (command == L"dpi" && count == 7)
        return DpiChanged(clock, number(2), RECT{number(3), number(4), number(5), number(6)});
    return USAGE;
}

} // namespace

int wmain(int count, wchar_t** arguments) {
    const int code = Run(count, arguments);
    if (code == USAGE) std::fprintf(stderr, "clock-poke: unknown command; see the top of clock_poke.cpp\n");
    if (code == NO_CLOCK) std::fprintf(stderr, "clock-poke: no clock window\n");
    std::fflush(stdout);
    return code;
}

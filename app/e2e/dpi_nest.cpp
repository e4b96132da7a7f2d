// dpi-nest.dll: clock-poke's hook inside the clock's process (WH_CALLWNDPROC
// on the clock's thread). Windows sends WM_DPICHANGED from inside the
// SetWindowPos that carries a window onto a monitor of another DPI; Wine never
// does. When the clock window hears WM_WINDOWPOSCHANGED, which Wine sends from
// inside the clock's own SetWindowPos, this sends it the armed DPI change from
// there, once, and notes the window's rectangle just before and after.
#include <windows.h>

#include <cwchar>

#include "app/constants.h"
#include "app/e2e/nested_dpi.h"

namespace {

bool IsClock(HWND window) {
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return std::wcscmp(name, APPCLASS) == 0;
}

void SendArmedChange(HWND clock) {
    const HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE | FILE_MAP_READ, FALSE, NESTED_DPI_MAPPING);
    if (!mapping) return;
    auto* nested =
        static_cast<NestedDpiChange*>(MapViewOfFile(mapping, FILE_MAP_WRITE | FILE_MAP_READ, 0, 0, 0));
    if (nested && InterlockedExchange(&nested->armed, 0) == 1) {
        RECT suggested = nested->suggested; // in this process, where the clock reads it
        GetWindowRect(clock, &nested->before);
        SendMessageW(clock, WM_DPICHANGED, MAKEWPARAM(nested->dpi, nested->dpi),
                     reinterpret_cast<LPARAM>(&suggested));
        GetWindowRect(clock, &nested->after);
        InterlockedExchange(&nested->sent, 1);
    }
    if (nested) UnmapViewOfFile(nested);
    CloseHandle(mapping);
}

} // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK NestDpiChange(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (message->message == WM_WINDOWPOSCHANGED && IsClock(message->hwnd)) SendArmedChange(message->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

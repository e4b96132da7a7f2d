// What clock-poke and its hook library (dpi_nest.cpp) share in a named mapping:
// a DPI change to send the clock from inside one of its own window calls, and
// what the clock's window looked like around it.
#pragma once

#include <windows.h>

inline constexpr wchar_t NESTED_DPI_MAPPING[] = L"Local\\VelmorClockTest.NestedDpi";
inline constexpr char NESTED_DPI_HOOK[] = "NestDpiChange";
inline constexpr wchar_t NESTED_DPI_LIBRARY[] = L"dpi-nest.dll";

struct NestedDpiChange {
    LONG armed; // set by clock-poke; cleared when the change has been sent
    UINT dpi;
    RECT suggested;
    LONG sent;   // the change was sent from inside the clock's own call
    RECT before; // the clock window just before the change was sent and just after it returned
    RECT after;
};

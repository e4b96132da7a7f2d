// The console display's power notice as Windows sends it with
// WM_POWERBROADCAST / PBT_POWERSETTINGCHANGE, for the tests and the test tool
// that stand in for Windows (Wine sends none).
#pragma once

#include <windows.h>

#include <cstring>

// GUID_CONSOLE_DISPLAY_STATE's setting with its DWORD: 0 off, 1 on, 2 dimmed.
struct DisplayStateNotice {
    POWERBROADCAST_SETTING setting;
    BYTE more[sizeof(DWORD)]; // the setting's one data byte grows to the DWORD
};

inline DisplayStateNotice MakeDisplayStateNotice(DWORD state) {
    DisplayStateNotice notice{};
    notice.setting.PowerSetting = {
        0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
    notice.setting.DataLength = sizeof state;
    std::memcpy(notice.setting.Data, &state, sizeof state);
    return notice;
}

#include "app/sight_watch.h"

#include <wtsapi32.h>

#include "placement/clock_window.h"

SessionRegistration registerSessionNotices = WTSRegisterSessionNotification;

namespace {

// The console display's power state: a DWORD, 0 off, 1 on, 2 dimmed.
constexpr GUID CONSOLE_DISPLAY_STATE = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD DISPLAY_OFF = 0;
constexpr DWORD DISPLAY_DIMMED = 2;

bool AskForSessionNotices(SightWatch& watch, HWND window) {
    ++watch.sessionTries;
    watch.sessionNotices = registerSessionNotices(window, NOTIFY_FOR_THIS_SESSION) != FALSE;
    return watch.sessionNotices;
}

} // namespace

void StartSightWatch(SightWatch& watch, HWND window) {
    watch.sessionTries = 0;
    if (!AskForSessionNotices(watch, window)) SetTimer(window, SESSION_TIMER, LOGON_RETRY_MS, nullptr);
    // Windows answers at once with the display's present state.
    watch.display =
        RegisterPowerSettingNotification(window, &CONSOLE_DISPLAY_STATE, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void RetrySessionNotices(SightWatch& watch, HWND window) {
    if (watch.sessionNotices || AskForSessionNotices(watch, window) || watch.sessionTries >= LOGON_RETRIES)
        KillTimer(window, SESSION_TIMER);
}

void StopSightWatch(SightWatch& watch, HWND window) {
    KillTimer(window, SESSION_TIMER);
    if (watch.sessionNotices) WTSUnRegisterSessionNotification(window);
    if (watch.display) UnregisterPowerSettingNotification(watch.display);
    watch.sessionNotices = false;
    watch.display = nullptr;
}

SightChange NoticeSession(SightWatch& watch, WPARAM event) {
    switch (event) {
    case WTS_SESSION_LOCK:
        return Notice(watch.sight, SightNotice::Lock);
    case WTS_SESSION_UNLOCK:
        return Notice(watch.sight, SightNotice::Unlock);
    case WTS_CONSOLE_DISCONNECT:
    case WTS_REMOTE_DISCONNECT:
        return Notice(watch.sight, SightNotice::Disconnect);
    case WTS_CONSOLE_CONNECT:
    case WTS_REMOTE_CONNECT:
        return Notice(watch.sight, SightNotice::Connect);
    default:
        return SightChange::None;
    }
}

SightChange NoticePowerSetting(SightWatch& watch, const POWERBROADCAST_SETTING& setting) {
    if (setting.PowerSetting != CONSOLE_DISPLAY_STATE || setting.DataLength < sizeof(DWORD))
        return SightChange::None;
    DWORD state = 0;
    memcpy(&state, setting.Data, sizeof state);
    const SightNotice notice = state == DISPLAY_OFF      ? SightNotice::DisplayOff
                               : state == DISPLAY_DIMMED ? SightNotice::DisplayDimmed
                                                         : SightNotice::DisplayOn;
    return Notice(watch.sight, notice);
}

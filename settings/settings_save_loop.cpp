// Test helper: saves the settings to the file named on its command line, one
// known state after another, until it is killed. It carries on from the step
// it finds in the file, and sets the named event (second argument) once its
// first save is done.
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "settings/save_loop_state.h"
#include "settings/settings_file.h"

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3) return 2;
    iniPath = argv[1];
    const std::wstring eventName = argv[2];
    LocalFree(argv);
    LoadSettings();
    bool first = true;
    for (int step = cfg.Y >= 0 ? cfg.Y + 1 : 0;; ++step) {
        cfg = SaveLoopState(step);
        if (!SaveSettings(nullptr)) return 1;
        if (first) {
            HANDLE saved = OpenEventW(EVENT_MODIFY_STATE, FALSE, eventName.c_str());
            if (!saved || !SetEvent(saved)) return 3;
            CloseHandle(saved);
            first = false;
        }
    }
}

// Test helper: saves the settings to the file named on its command line, one
// known state after another, until it is killed. It carries on from the step
// it finds in the file.
#include <windows.h>
#include <shellapi.h>

#include "settings/save_loop_state.h"
#include "settings/settings_file.h"

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 2) return 2;
    iniPath = argv[1];
    LocalFree(argv);
    LoadSettings();
    for (int step = cfg.Y >= 0 ? cfg.Y + 1 : 0;; ++step) {
        cfg = SaveLoopState(step);
        if (!SaveSettings()) return 1;
    }
}

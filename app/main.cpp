// velmor-clock.exe: start-up.
#include <windows.h>

#include "app/constants.h"
#include "app/globals.h"
#include "app/open_clock.h"
#include "app/start_up.h"
#include "settings/settings_file.h"

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int) {
    // Before anything can load a library by name: system DLLs come from the
    // system folder only, so a DLL dropped beside the program is never loaded.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    instance = module;
    if (!StartGraphics()) {
        ShowStartupError(GRAPHICS_FAILED);
        return EXIT_NO_GRAPHICS;
    }
    // The artwork and the renderer come first, so the self-test draws with the
    // very renderer the clock uses, and a second start still loads it.
    if (const int code = LoadArtwork(ArtworkIds{}, ShowStartupError)) return code;

    if (const auto folder = SelfTestFolder(GetCommandLineW())) return RunSelfTest(*folder);

    HANDLE mutex = nullptr;
    if (!ClaimSingleInstance(mutex)) return EXIT_NORMAL; // handed over to the running clock

    // Only a clock that will run reads the settings.
    InitSettings();
    LoadSettings();
    RegisterClasses(instance);
    if (const int code = OpenClock(ShowOwnedError)) return code;

    RunMessageLoop();
    ShutDown(mutex);
    return EXIT_NORMAL;
}

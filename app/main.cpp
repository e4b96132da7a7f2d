// velmor-clock.exe: start-up.
#include <windows.h>

#include "app/constants.h"
#include "app/globals.h"
#include "app/start_up.h"

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int) {
    instance = module;
    if (!StartGraphics()) {
        ShowStartupError(GRAPHICS_FAILED);
        return EXIT_NO_GRAPHICS;
    }
    // The artwork and the renderer come first, so the self-test draws with the
    // very renderer the clock uses.
    if (const int code = LoadArtwork(ArtworkIds{}, ShowStartupError)) return code;

    if (const auto folder = SelfTestFolder(GetCommandLineW())) return RunSelfTest(*folder);

    // The clock window does not exist yet: the normal start ends here.
    return EXIT_NORMAL;
}

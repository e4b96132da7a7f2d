// The first steps of start-up, shared by the self-test and the clock: GDI+, the
// artwork, the one renderer, and the command line's choice of mode.
#pragma once

#include <optional>
#include <string>

#include "app/constants.h"

// The artwork resources to load; the program always uses the built-in numbers.
struct ArtworkIds {
    int face = FACE_ARTWORK;
    int reference = REFERENCE_ARTWORK;
    int crystal = CRYSTAL_ARTWORK;
};

// Shows a start-up failure to the user (no owner window).
using ErrorBox = void (*)(const wchar_t* message);
void ShowStartupError(const wchar_t* message);

// Starts GDI+ into `gdipToken`.
bool StartGraphics();

// Loads the face into `face`, the reference and crystal artwork, converts all
// three and builds `renderer` from them. Returns 0, or after telling `showError`
// which artwork is missing, EXIT_NO_ARTWORK. Stops at the first missing artwork.
int LoadArtwork(ArtworkIds ids, ErrorBox showError);

// The folder when `commandLine` is exactly the program, "--self-test" and a
// folder; nothing otherwise.
std::optional<std::wstring> SelfTestFolder(const wchar_t* commandLine);

// Runs the self-test in `folder`, then releases the renderer, the face and GDI+.
// Returns the self-test's exit code.
int RunSelfTest(const std::wstring& folder);

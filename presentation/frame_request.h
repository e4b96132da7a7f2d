// What a frame is drawn for: the renderer's time and options from a time of day
// and the settings.
#pragma once

#include "renderer/renderer.h"
#include "settings/settings.h"

// The options the settings ask for; the reflection strength is a percentage.
velmor::Options FrameOptions(const Settings& settings);

#include "presentation/frame_request.h"

velmor::Options FrameOptions(const Settings& settings) {
    velmor::Options options;
    options.seconds = settings.Seconds;
    options.smooth = settings.Smooth;
    options.shadows = settings.Shadows;
    options.crystal = settings.Crystal;
    options.reflection = settings.ReflectionStrength / 100.0;
    return options;
}

// The platform's calendar time as the renderer's time of day (the date is ignored).
#pragma once

#include <windows.h>

#include "presentation/hand_angles.h"
#include "renderer/renderer.h"

inline velmor::Time FrameTime(const SYSTEMTIME& time) {
    return {time.wHour, time.wMinute, time.wSecond, time.wMilliseconds};
}

inline HandAngles TimeAngles(const SYSTEMTIME& time, bool smooth) {
    return TimeAngles(FrameTime(time), smooth);
}

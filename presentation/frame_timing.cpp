#include "presentation/frame_timing.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

std::int64_t Now() {
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

// The totals, written once when the program ends (a static's destructor runs
// after wWinMain returns).
struct FrameTotals {
    std::int64_t ticks[2] = {0, 0}; // by FrameStage
    std::int64_t frames = 0;        // layered updates

    ~FrameTotals() {
        const char* path = std::getenv("VELMOR_FRAME_TIMING_FILE");
        if (!path) return;
        std::FILE* file = std::fopen(path, "w");
        if (!file) return;
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        const double perSecond = static_cast<double>(frequency.QuadPart);
        std::fprintf(file, "frames %lld\ndrawing_seconds %.6f\nlayered_update_seconds %.6f\n",
                     static_cast<long long>(frames), ticks[0] / perSecond, ticks[1] / perSecond);
        std::fclose(file);
    }
} totals;

} // namespace

FrameStageTimer::FrameStageTimer(FrameStage stage) : stage(stage), start(Now()) {}

void FrameStageTimer::Stop() {
    if (!running) return;
    running = false;
    totals.ticks[static_cast<int>(stage)] += Now() - start;
    if (stage == FrameStage::LayeredUpdate) ++totals.frames;
}

// Where a live frame's time goes, for the benchmark of a running clock
// (bench/clock_cpu.sh): our drawing and pixel copy against the platform's
// layered update. Measured only in a build with the CMake option
// VELMOR_FRAME_TIMING (off by default); elsewhere the timer is empty and costs
// nothing. At exit the totals are written to the file that the environment
// variable VELMOR_FRAME_TIMING_FILE names.
#pragma once

enum class FrameStage { Drawing, LayeredUpdate };

#ifdef VELMOR_FRAME_TIMING

#include <cstdint>

// Adds the time from its construction to Stop(), or to its end, to `stage`.
class FrameStageTimer {
  public:
    explicit FrameStageTimer(FrameStage stage);
    ~FrameStageTimer() { Stop(); }
    FrameStageTimer(const FrameStageTimer&) = delete;
    FrameStageTimer& operator=(const FrameStageTimer&) = delete;
    void Stop();

  private:
    FrameStage stage;
    std::int64_t start;
    bool running = true;
};

#else

class FrameStageTimer {
  public:
    explicit FrameStageTimer(FrameStage) {}
    void Stop() {}
};

#endif

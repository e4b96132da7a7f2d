// Whole clock frames: the steady tick at each size (caches warm, every layer on),
// drawn whole (renderTo) and over the last tick's frame (renderOver),
// the first frame at a new size, an animated-resize step and a whole animated
// resize driven by the placement rules; a memcpy of one frame of each size is
// the floor. Uses resources/*.png when they exist, else synthesises artwork of
// the same size and kind.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>
#include <spng.h>

#include "placement/fake_clock_window.h"
#include "placement/resize.h"
#include "renderer/renderer.h"

#ifndef VELMOR_RESOURCES
#define VELMOR_RESOURCES "resources"
#endif

namespace velmor {
namespace {

// Decodes an 8-bit RGBA PNG and premultiplies it; empty on any failure.
Image loadPng(const std::string& path) {
    Image image;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return image;
    spng_ctx* ctx = spng_ctx_new(0);
    std::size_t size = 0;
    spng_ihdr ihdr{};
    if (ctx && spng_set_png_file(ctx, file) == 0 && spng_get_ihdr(ctx, &ihdr) == 0 &&
        spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size) == 0) {
        std::vector<std::uint8_t> bytes(size);
        if (spng_decode_image(ctx, bytes.data(), size, SPNG_FMT_RGBA8, 0) == 0) {
            image.width = static_cast<std::int32_t>(ihdr.width);
            image.height = static_cast<std::int32_t>(ihdr.height);
            image.pixels.resize(size / 4);
            for (std::size_t k = 0; k < image.pixels.size(); ++k) {
                const unsigned a = bytes[4 * k + 3];
                auto pm = [a](unsigned c) { return static_cast<std::uint8_t>((c * a + 127) / 255); };
                image.pixels[k] = Pixel{pm(bytes[4 * k]), pm(bytes[4 * k + 1]), pm(bytes[4 * k + 2]),
                                        static_cast<std::uint8_t>(a)};
            }
        }
    }
    spng_ctx_free(ctx);
    std::fclose(file);
    return image;
}

// Stand-ins of the built-in artwork's size: an opaque round dial on a transparent
// square, the same with brass hands and hub, and a soft highlight.
Image synthetic(int kind) {
    const int n = 1254;
    Image image;
    image.width = image.height = n;
    image.pixels.assign(static_cast<std::size_t>(n) * n, Pixel{});
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            Pixel& p = image.pixels[static_cast<std::size_t>(i) * n + j];
            const double x = j + 0.5 - n / 2.0, y = i + 0.5 - n / 2.0, r = std::hypot(x, y);
            if (kind == 2) {
                const double d = std::hypot(j - n * 0.38, i - n * 0.36) / (n * 0.3);
                if (d < 1) {
                    const auto a = static_cast<std::uint8_t>(80 * (1 - d));
                    p = Pixel{a, a, a, a};
                }
                continue;
            }
            if (r < n * 0.48) p = Pixel{static_cast<std::uint8_t>(200 - j / 10), 190, 170, 255};
            if (kind == 1 && std::hypot(x, y + n * 0.008) < n * 0.03) p = Pixel{210, 165, 90, 255};
        }
    return image;
}

std::unique_ptr<Renderer>& shared() {
    static std::unique_ptr<Renderer> renderer = [] {
        const std::string dir = VELMOR_RESOURCES;
        Image face = loadPng(dir + "/face.png"), reference = loadPng(dir + "/reference.png"),
              crystal = loadPng(dir + "/crystal.png");
        const bool real = !face.empty() && !reference.empty() && !crystal.empty();
        if (!real) face = synthetic(0), reference = synthetic(1), crystal = synthetic(2);
        std::fprintf(stderr, "artwork: %s\n", real ? "resources/*.png" : "synthetic");
        return Renderer::make(std::move(face), std::move(reference), std::move(crystal));
    }();
    return renderer;
}

const Options everything{true, true, true, true, 1.0};

// Moves the time on by a tick each frame so every hand angle is fresh.
Time tick(std::int64_t k) {
    const std::int64_t ms = 10 * 3600000LL + 8 * 60000LL + k * 50;
    return Time{static_cast<std::int32_t>(ms / 3600000 % 24), static_cast<std::int32_t>(ms / 60000 % 60),
                static_cast<std::int32_t>(ms / 1000 % 60), static_cast<std::int32_t>(ms % 1000)};
}

void BM_renderSteady(benchmark::State& state) {
    Renderer& r = *shared();
    const auto size = static_cast<std::int32_t>(state.range(0));
    Image out;
    r.renderTo(out, size, tick(0), everything, false); // warm the caches
    std::int64_t k = 0;
    for (auto _ : state) {
        r.renderTo(out, size, tick(++k), everything, false);
        benchmark::DoNotOptimize(out.pixels.data());
    }
}
BENCHMARK(BM_renderSteady)->Arg(160)->Arg(320)->Arg(640)->Arg(960)->Arg(1200)->Unit(benchmark::kMicrosecond);

// The steady tick as the running clock draws it: renderOver into the frame it
// keeps from the last tick, the time 50 ms on each tick, so only what the last
// and this frame's hands, shadows and discs reach is restored and drawn again.
void BM_renderSteadyOver(benchmark::State& state) {
    Renderer& r = *shared();
    const auto size = static_cast<std::int32_t>(state.range(0));
    Image out;
    r.renderOver(out, size, tick(0), everything, false); // warm the caches: a whole frame
    r.renderOver(out, size, tick(1), everything, false);
    std::int64_t k = 1;
    double handed = 0, dirty = 0; // bytes a tick hands the surface, and its dirty rectangle's
    for (auto _ : state) {
        const Renderer::RowSpan changed = r.renderOver(out, size, tick(++k), everything, false);
        benchmark::DoNotOptimize(out.pixels.data());
        std::int32_t left = size, right = 0;
        for (std::int32_t y = changed.top; y < changed.bottom; ++y) {
            const RowReach c = r.changedColumns[static_cast<std::size_t>(y)];
            if (c.first > c.last) continue;
            handed += 4.0 * (c.last - c.first + 1);
            left = std::min(left, c.first);
            right = std::max(right, c.last + 1);
        }
        if (left < right) dirty += 4.0 * (right - left) * (changed.bottom - changed.top);
    }
    // What a whole frame hands over is 4 · size² bytes.
    state.counters["handed_bytes"] = benchmark::Counter(handed, benchmark::Counter::kAvgIterations);
    state.counters["dirty_bytes"] = benchmark::Counter(dirty, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_renderSteadyOver)
    ->Arg(160)
    ->Arg(320)
    ->Arg(640)
    ->Arg(960)
    ->Arg(1200)
    ->Unit(benchmark::kMicrosecond);

// The same tick as a running clock meets it: 50 ms idle before each frame, in
// which other programs take the processor's caches, translations and branch
// history. The CPU time of the drawing alone, the idle excluded; the gap to
// BM_renderSteadyOver is what the idle costs.
void BM_renderSteadyOverAfterIdle(benchmark::State& state) {
    Renderer& r = *shared();
    const auto size = static_cast<std::int32_t>(state.range(0));
    Image out;
    r.renderOver(out, size, tick(0), everything, false);
    std::int64_t k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        state.ResumeTiming();
        r.renderOver(out, size, tick(++k), everything, false);
        benchmark::DoNotOptimize(out.pixels.data());
    }
}
BENCHMARK(BM_renderSteadyOverAfterIdle)->Arg(320)->Iterations(200)->Unit(benchmark::kMicrosecond);

// The first frame at a size: full-quality face resize, crystal resize, glass.
void BM_renderNewSize(benchmark::State& state) {
    Renderer& r = *shared();
    const auto size = static_cast<std::int32_t>(state.range(0));
    Image out;
    std::int64_t k = 0;
    for (auto _ : state) {
        ++k;
        r.renderTo(out, size + static_cast<std::int32_t>(k % 2), tick(k), everything, false);
        benchmark::DoNotOptimize(out.pixels.data());
    }
}
BENCHMARK(BM_renderNewSize)->Arg(320)->Arg(1199)->Unit(benchmark::kMillisecond);

// One step of the animated resize: quick resizer, a new size every call.
void BM_renderAnimationStep(benchmark::State& state) {
    Renderer& r = *shared();
    const auto size = static_cast<std::int32_t>(state.range(0));
    Image out;
    std::int64_t k = 0;
    for (auto _ : state) {
        ++k;
        r.renderTo(out, size - static_cast<std::int32_t>(k % 2), tick(k), everything, true);
        benchmark::DoNotOptimize(out.pixels.data());
    }
}
BENCHMARK(BM_renderAnimationStep)->Arg(1200)->Unit(benchmark::kMillisecond);

// One layer of a steady frame at 1200 px, each drawn onto a fresh copy of the
// face: range(0) 0..2 hands, 3..5 their shadows, 6 the discs, 7 the crystal.
// The copy is outside the timing.
void BM_layer(benchmark::State& state) {
    Renderer& r = *shared();
    Image out;
    r.renderTo(out, 1200, tick(0), everything, false);
    const int layer = static_cast<int>(state.range(0));
    std::int64_t k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        out.pixels.assign(r.scaledFace.pixels.begin(), r.scaledFace.pixels.end());
        const Time t = tick(++k);
        const Angles hands = handAngles(t, true);
        const double angles[3] = {hands.hour, hands.minute, hands.second};
        state.ResumeTiming();
        if (layer < 6) {
            r.polygon(out, layer % 3, angles[layer % 3], layer >= 3);
        } else if (layer == 6) {
            r.circle(out, 500, 300, 6, false);
            r.circle(out, 500, 492, 28, true);
        } else {
            r.compositeGlass(out);
        }
        benchmark::DoNotOptimize(out.pixels.data());
    }
}
BENCHMARK(BM_layer)->DenseRange(0, 7)->Unit(benchmark::kMicrosecond);

// The steps of an animated resize growing towards 1200 px, 10 px a step, as a
// user's wheel drives it; starts over from 900 px after each growth.
void BM_renderGrowingAnimation(benchmark::State& state) {
    Renderer& r = *shared();
    Image out;
    std::int64_t k = 0;
    for (auto _ : state) {
        ++k;
        r.renderTo(out, 900 + static_cast<std::int32_t>(k % 31) * 10, tick(k), everything, true);
        benchmark::DoNotOptimize(out.pixels.data());
    }
}
BENCHMARK(BM_renderGrowingAnimation)->Unit(benchmark::kMillisecond);

// A whole animated resize as the user sees it: a clock ticking at 320 px asks
// for 1200 px (sizes 160 to 600 at 192 DPI) and the real TickResize steps it
// every 16 ms over 130 ms, each frame drawn at the quality it asks for. Each
// frame's mean time is reported in ms, named by its place and width, the last
// one being the full-quality frame.
void BM_resizeAnimation(benchmark::State& state) {
    Renderer& r = *shared();
    Image out;
    std::int64_t k = 0;
    std::vector<double> frameMs;
    std::vector<int> widths;
    for (auto _ : state) {
        state.PauseTiming();
        r.renderTo(out, 320, tick(++k), everything, false); // the steady clock before the request
        FakeClock clock({0, 0, 3840, 2160}, {100, 100}, 320, 192);
        clock.settings.Size = 160;
        std::size_t frame = 0;
        clock.window.draw = [&](int width, bool fast) {
            const auto begin = std::chrono::steady_clock::now();
            r.renderTo(out, width, tick(++k), everything, fast);
            benchmark::DoNotOptimize(out.pixels.data());
            const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - begin;
            if (frame == frameMs.size()) frameMs.push_back(0), widths.push_back(width);
            frameMs[frame++] += took.count();
        };
        state.ResumeTiming();
        Resize(clock.sizing(), 600);
        clock.Animate();
    }
    for (std::size_t f = 0; f < frameMs.size(); ++f) {
        const std::string place = f + 1 < frameMs.size() ? "f" + std::to_string(f + 1) : "final";
        state.counters[place + "@" + std::to_string(widths[f])] = frameMs[f] / double(state.iterations());
    }
}
BENCHMARK(BM_resizeAnimation)->Unit(benchmark::kMillisecond);

// The floor: copying one frame's pixels.
void BM_frameMemcpy(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    std::vector<Pixel> from(n * n, Pixel{1, 2, 3, 4}), to(n * n);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), n * n * sizeof(Pixel));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_frameMemcpy)->Arg(160)->Arg(320)->Arg(640)->Arg(960)->Arg(1200)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace velmor

// Resizing the 1254-pixel artwork to frame sizes, and the crystal layer at the
// largest frame. The source is a fixed pseudo-random premultiplied image, so
// every run reads the same bytes.
#include <benchmark/benchmark.h>

#include "renderer/renderer.h"
#include "renderer/resample.h"
#include "renderer/test_images.h"
#include "testing/vectors_from_environment.h"

namespace {

const velmor::Image& artwork() {
    static const velmor::Image image = velmor::test::randomImage(1254, 1254, 1254);
    return image;
}

// A crystal-like layer: a faint highlight over about a seventh of the frame.
velmor::Image crystal(std::int32_t size) {
    velmor::Image im{size, size, std::vector<velmor::Pixel>(static_cast<std::size_t>(size) * size)};
    for (std::int32_t y = 0; y < size; ++y)
        for (std::int32_t x = 0; x < size; ++x) {
            const double dx = x - 0.35 * size, dy = y - 0.3 * size;
            if (dx * dx + dy * dy < 0.045 * size * size) {
                const auto a = static_cast<std::uint8_t>(20 + (x + y) % 59);
                im.pixels[static_cast<std::size_t>(y) * size + x] =
                    velmor::Pixel{a, a, static_cast<std::uint8_t>(a - 2), a};
            }
        }
    return im;
}

void BM_resample(benchmark::State& state) {
    const auto size = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(velmor::resample(artwork(), size));
}
BENCHMARK(BM_resample)->Arg(160)->Arg(320)->Arg(640)->Arg(960)->Arg(1200)->Unit(benchmark::kMillisecond);

void BM_resampleBaseline(benchmark::State& state) {
    const auto size = static_cast<std::int32_t>(state.range(0));
    velmor::detail::useBaselineKernels(true);
    for (auto _ : state)
        benchmark::DoNotOptimize(velmor::resample(artwork(), size));
    velmor::detail::useBaselineKernels(false);
}
BENCHMARK(BM_resampleBaseline)
    ->Arg(160)
    ->Arg(320)
    ->Arg(640)
    ->Arg(960)
    ->Arg(1200)
    ->Unit(benchmark::kMillisecond);

// What a CPU with AVX2 but without AVX-512 runs.
void BM_resampleAvx2(benchmark::State& state) {
    const auto size = static_cast<std::int32_t>(state.range(0));
    velmor::detail::limitKernels(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(velmor::resample(artwork(), size));
    velmor::detail::limitKernels(2);
}
BENCHMARK(BM_resampleAvx2)->Arg(160)->Arg(320)->Arg(640)->Arg(960)->Arg(1200)->Unit(benchmark::kMillisecond);

void BM_resampleFast(benchmark::State& state) {
    const auto size = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(velmor::resampleFast(artwork(), size));
}
BENCHMARK(BM_resampleFast)->Arg(160)->Arg(320)->Arg(640)->Arg(960)->Arg(1200)->Unit(benchmark::kMillisecond);

void BM_prepareGlass(benchmark::State& state) {
    velmor::Renderer r{velmor::Image{}, velmor::Image{}, velmor::Image{}};
    r.scaledCrystal = crystal(1200);
    bool flip = false;
    for (auto _ : state) {
        r.prepareGlass(flip ? 1.25 : 1.3); // a new strength each time: a full rebuild
        flip = !flip;
        benchmark::DoNotOptimize(r.glass.pixels.data());
    }
}
BENCHMARK(BM_prepareGlass)->Unit(benchmark::kMillisecond);

void BM_compositeGlass(benchmark::State& state) {
    velmor::Renderer r{velmor::Image{}, velmor::Image{}, velmor::Image{}};
    r.scaledCrystal = crystal(1200);
    r.prepareGlass(1.0);
    velmor::Image frame = velmor::resampleFast(artwork(), 1200);
    state.counters["visible"] = [&] {
        std::size_t n = 0;
        for (const auto& run : r.glassRuns)
            n += run.end - run.begin;
        return static_cast<double>(n) / static_cast<double>(r.glass.pixels.size());
    }();
    for (auto _ : state) {
        r.compositeGlass(frame);
        benchmark::DoNotOptimize(frame.pixels.data());
    }
}
BENCHMARK(BM_compositeGlass)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();

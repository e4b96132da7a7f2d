#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "renderer/compositing.h"
#include "renderer/test_images.h"

namespace velmor {
namespace {

TEST(Saturate, RoundsHalvesAwayFromZeroAndClamps) {
    // Every half step from below 0 to above 255.
    for (int k = -4; k <= 520; ++k) {
        const double v = k / 2.0;
        const int expected = v >= 255.0 ? 255 : (v > 0.0 ? (k + 1) / 2 : 0);
        EXPECT_EQ(saturate(v), expected) << v;
        // Just below a half rounds down, just above rounds up.
        if (k > 0 && k < 510 && k % 2 == 1) {
            EXPECT_EQ(saturate(std::nextafter(v, 0.0)), k / 2) << v;
            EXPECT_EQ(saturate(std::nextafter(v, 1000.0)), k / 2 + 1) << v;
        }
    }
    EXPECT_EQ(saturate(std::nan("")), 0);
    EXPECT_EQ(saturate(-INFINITY), 0);
    EXPECT_EQ(saturate(INFINITY), 255);
    EXPECT_EQ(saturate(254.5), 255);
    EXPECT_EQ(saturate(0.49999999999999994), 0);
}

TEST(Over, OpaqueReplacesAndZeroKeeps) {
    Pixel p{10, 20, 30, 40};
    over(p, 300, -20, 128, 1.0);
    EXPECT_EQ(p, (Pixel{255, 0, 128, 255}));
    p = Pixel{10, 20, 30, 40};
    over(p, 1, 2, 3, 7.5);
    EXPECT_EQ(p, (Pixel{1, 2, 3, 255}));
    for (double a : {0.0, -0.5, -1e300, std::nan("")}) {
        Pixel q{10, 20, 30, 40};
        over(q, 200, 200, 200, a);
        EXPECT_EQ(q, (Pixel{10, 20, 30, 40})) << a;
    }
}

TEST(Over, HalfOpacityExamples) {
    Pixel p{};
    over(p, 255, 0, 0, 0.5);
    EXPECT_EQ(p, (Pixel{128, 0, 0, 128})); // 127.5 rounds away from zero
    p = Pixel{255, 255, 255, 255};
    over(p, 0, 0, 0, 0.5);
    EXPECT_EQ(p, (Pixel{128, 128, 128, 255}));
    p = Pixel{0, 0, 0, 255};
    over(p, 400, -100, 100, 0.5); // saturates after the blend: 200 -> 200, -50 -> 0
    EXPECT_EQ(p, (Pixel{200, 0, 50, 255}));
}

// Any byte colour at any opacity n/255 over any premultiplied pixel gives a
// premultiplied pixel whose alpha never falls.
TEST(Over, KeepsPremultipliedOverWholeByteRange) {
    int failures = 0;
    for (int n = 1; n < 255; ++n) {
        const double a = n / 255.0;
        for (int oldAlpha = 0; oldAlpha < 256; ++oldAlpha) {
            for (int oldColour = 0; oldColour <= oldAlpha; oldColour += 3) {
                for (int colour : {0, 1, 127, 128, 254, 255}) {
                    Pixel p{static_cast<std::uint8_t>(oldColour), 0, 0, static_cast<std::uint8_t>(oldAlpha)};
                    over(p, colour, 0, 0, a);
                    if (p.r > p.a || p.a < oldAlpha) ++failures;
                }
            }
        }
    }
    EXPECT_EQ(failures, 0);
}

Image grid(std::int32_t width, std::int32_t height) {
    Image image{width, height, {}};
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x) {
            const auto a = static_cast<std::uint8_t>(100 + 10 * x + y);
            image.pixels.push_back(Pixel{static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 9),
                                         static_cast<std::uint8_t>(x + y), a});
        }
    return image;
}

TEST(Sample, IntegerCoordinatesAndClampedEdges) {
    const Image image = grid(5, 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(sample(image, x, y), image.pixels[y * 5 + x]);
    EXPECT_EQ(sample(image, -5, -5), image.pixels[0]);
    EXPECT_EQ(sample(image, 5 + 3, 0), image.pixels[4]);
    EXPECT_EQ(sample(image, 1e300, 1e300), image.pixels[19]);
    EXPECT_EQ(sample(image, std::nan(""), 2), image.pixels[10]);
    EXPECT_EQ(sample(image, 3.999999, -0.25).a, image.pixels[4].a);
}

TEST(Sample, InterpolatesPremultipliedBytes) {
    Image image{2, 1, {Pixel{0, 0, 0, 0}, Pixel{255, 255, 255, 255}}};
    EXPECT_EQ(sample(image, 0.5, 0), (Pixel{128, 128, 128, 128}));
    EXPECT_EQ(sample(image, 0.25, 7), (Pixel{64, 64, 64, 64}));
    // Both axes: the mean of four pixels.
    Image square{2, 2, {Pixel{0, 0, 0, 0}, Pixel{40, 0, 0, 40}, Pixel{0, 80, 0, 80}, Pixel{0, 0, 120, 120}}};
    EXPECT_EQ(sample(square, 0.5, 0.5), (Pixel{10, 20, 30, 60}));
    Image one{1, 1, {Pixel{1, 2, 3, 4}}};
    for (double v : {-3.0, 0.0, 0.4, 2.5})
        EXPECT_EQ(sample(one, v, -v), (Pixel{1, 2, 3, 4}));
    EXPECT_EQ(sample(Image{}, 0, 0), Pixel{});
}

// The lane arithmetic must give the plain code's bytes: every half step and
// its neighbours, both sides of every byte, and values far out of range, in
// each lane position.
TEST(Compositing, LanesMatchPlainArithmetic) {
    std::vector<double> values{
        std::nan(""),        -INFINITY,          INFINITY,          -1e300, 1e300, -0.0, 0.0,
        0.49999999999999994, 254.49999999999997, 255.00000000000003};
    for (int k = -4; k <= 520; ++k)
        for (double v : {k / 2.0, k / 2.0 + 0.25})
            values.insert(values.end(), {v, std::nextafter(v, -1e9), std::nextafter(v, 1e9)});
    int failures = 0;
    for (double v : values) {
        Pixel lanes{}, plain{};
        // a = 1: straight colour, saturated; the old value does not matter.
        over(lanes, v, 128 - v, v / 2, 1.0);
        detail::overPlain(plain, v, 128 - v, v / 2, 1.0);
        failures += !(lanes == plain);
    }
    // Opacities between 0 and 1 over every alpha and a spread of colours.
    std::mt19937_64 rng(7);
    std::uniform_real_distribution<double> opacity(-0.1, 1.1), colour(-20, 300);
    for (int n = 0; n < 200000; ++n) {
        const auto alpha = static_cast<std::uint8_t>(rng() % 256);
        const Pixel old{static_cast<std::uint8_t>(rng() % (alpha + 1)),
                        static_cast<std::uint8_t>(rng() % (alpha + 1)),
                        static_cast<std::uint8_t>(rng() % (alpha + 1)), alpha};
        const double r = colour(rng), g = colour(rng), b = colour(rng);
        const double a = n % 7 == 0 ? (n % 2 ? 1.0 - 1.0 / (1 + n % 255) : (n % 255) / 255.0) : opacity(rng);
        Pixel lanes = old, plain = old;
        over(lanes, r, g, b, a);
        detail::overPlain(plain, r, g, b, a);
        failures += !(lanes == plain);
    }
    EXPECT_EQ(failures, 0);
}

TEST(Sample, LanesMatchPlainArithmetic) {
    std::mt19937_64 rng(11);
    const Image image = test::randomImage(37, 23, 11);
    std::uniform_real_distribution<double> x(-3, 40), y(-3, 26);
    int failures = 0;
    for (int n = 0; n < 300000; ++n) {
        // Every few samples an exact quarter position, where rounding ties are likeliest.
        const double u = n % 5 == 0 ? std::floor(x(rng)) + (n % 4) / 4.0 : x(rng);
        const double v = n % 3 == 0 ? std::floor(y(rng)) + 0.5 : y(rng);
        const Pixel plain = detail::samplePlain(image, u, v);
        failures += !(sample(image, u, v) == plain);
#if VELMOR_X86_64
        // sample() takes the AVX2 path by itself where it can; hold both lane
        // forms to the plain bytes directly.
        failures += !(detail::sampleNarrow(image, u, v) == plain);
        if (detail::wideSampling) failures += !(detail::sampleWide(image, u, v) == plain);
#endif
    }
    EXPECT_EQ(failures, 0);
}

// Batches of any length over images of any shape, with coordinates inside,
// on the edges, beyond them, infinite and NaN, give sample()'s bytes point by
// point, through sampleMany() and through the SSE2 kernel it passes over where AVX2 is.
TEST(Sample, ManyAtOnceMatchesOneByOne) {
    std::mt19937_64 rng(13);
    std::uniform_real_distribution<double> spread(-4, 12);
    const double odd[] = {std::nan(""), INFINITY,          -INFINITY, 1e300, -1e300, -0.0, 0.0,
                          0.5,          2.999999999999999, 3.0,       3e9,   -3e9,   8.5};
    int failures = 0;
    for (auto [w, h] : {std::pair{1, 1}, {1, 5}, {7, 1}, {9, 4}, {4, 9}}) {
        const Image image = test::randomImage(w, h, static_cast<unsigned>(16 * w + h));
        for (int n : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 13, 64}) {
            std::vector<double> xs(n), ys(n);
            for (int k = 0; k < n; ++k) {
                xs[k] = k % 5 == 0 ? odd[rng() % 13] : spread(rng);
                ys[k] = k % 3 == 0 ? odd[rng() % 13] : spread(rng);
            }
            std::vector<Pixel> many(n), lanes(n);
            sampleMany(image, xs.data(), ys.data(), many.data(), n);
#if VELMOR_X86_64
            detail::sampleManyNarrow(image, xs.data(), ys.data(), lanes.data(), n);
#else
            lanes = many;
#endif
            for (int k = 0; k < n; ++k) {
                const Pixel plain = detail::samplePlain(image, xs[k], ys[k]);
                failures += !(many[k] == plain) + !(lanes[k] == plain);
            }
        }
    }
    EXPECT_EQ(failures, 0);
    Pixel untouched{9, 9, 9, 9};
    const double zero = 0;
    sampleMany(Image{}, &zero, &zero, &untouched, 1);
    EXPECT_EQ(untouched, Pixel{}); // an empty image reads as transparent
}

} // namespace
} // namespace velmor

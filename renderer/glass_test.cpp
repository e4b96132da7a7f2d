#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "renderer/compositing.h"
#include "renderer/renderer.h"
#include "renderer/test_images.h"

namespace velmor {
namespace {

using test::randomCrystal;

Renderer withCrystal(Image crystal) {
    Renderer r{Image{}, Image{}, Image{}};
    r.scaledCrystal = std::move(crystal);
    return r;
}

TEST(Glass, StrengthScalesAllChannels) {
    Renderer r = withCrystal(Image{1, 1, {Pixel{76, 76, 74, 78}}});
    r.prepareGlass(1.5);
    EXPECT_EQ(r.glass.pixels[0], (Pixel{114, 114, 111, 117}));
    EXPECT_EQ(r.glassStrength, 1.5);
    r.prepareGlass(0.5);
    EXPECT_EQ(r.glass.pixels[0], (Pixel{38, 38, 37, 39}));
    r.prepareGlass(1.0);
    EXPECT_EQ(r.glass.pixels, r.scaledCrystal.pixels);
    // Alpha 1 at the weakest strength still shows (0.5 rounds up).
    Renderer faint = withCrystal(Image{2, 1, {Pixel{1, 1, 1, 1}, Pixel{}}});
    faint.prepareGlass(0.5);
    EXPECT_EQ(faint.glass.pixels[0], (Pixel{1, 1, 1, 1}));
    ASSERT_EQ(faint.glassRuns.size(), 1u);
}

TEST(Glass, RunsAreMaximalAndEndAtRowEnds) {
    // Row 0: . X X | row 1: X X . | row 2: X . X
    const Pixel o{}, x{5, 5, 5, 9};
    Renderer r = withCrystal(Image{3, 3, {o, x, x, x, x, o, x, o, x}});
    r.prepareGlass(1.0);
    const std::vector<std::pair<std::uint64_t, std::uint64_t>> expected = {{1, 3}, {3, 5}, {6, 7}, {8, 9}};
    ASSERT_EQ(r.glassRuns.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(r.glassRuns[k].begin, expected[k].first);
        EXPECT_EQ(r.glassRuns[k].end, expected[k].second);
    }
}

TEST(Glass, RunsCoverExactlyTheVisiblePixels) {
    Renderer r = withCrystal(randomCrystal(157, 3));
    for (double strength : {0.5, 0.73, 1.0, 1.5}) {
        r.prepareGlass(strength);
        std::vector<int> covered(r.glass.pixels.size(), 0);
        std::uint64_t previous = 0;
        for (const auto& run : r.glassRuns) {
            ASSERT_LT(run.begin, run.end);
            ASSERT_GE(run.begin, previous);
            ASSERT_EQ(run.begin / 157, (run.end - 1) / 157); // one row
            if (run.begin % 157 != 0 && run.begin != previous) {
                EXPECT_EQ(r.glass.pixels[run.begin - 1].a, 0);
            }
            if (run.end % 157 != 0) {
                EXPECT_EQ(r.glass.pixels[run.end].a, 0);
            }
            for (auto idx = run.begin; idx < run.end; ++idx)
                ++covered[idx];
            previous = run.end;
        }
        for (std::size_t idx = 0; idx < covered.size(); ++idx) {
            EXPECT_EQ(covered[idx], r.glass.pixels[idx].a != 0 ? 1 : 0) << idx;
            EXPECT_EQ(r.glass.pixels[idx].a != 0, r.scaledCrystal.pixels[idx].a != 0);
            EXPECT_LE(r.glass.pixels[idx].r, r.glass.pixels[idx].a);
        }
    }
}

TEST(Glass, RebuildsOnlyWhenStrengthChanges) {
    Renderer r = withCrystal(randomCrystal(20, 4));
    r.prepareGlass(1.2);
    const Pixel* storage = r.glass.pixels.data();
    r.glass.pixels[0] = Pixel{1, 2, 3, 4}; // marker a rebuild would erase
    r.prepareGlass(1.2);
    EXPECT_EQ(r.glass.pixels.data(), storage);
    EXPECT_EQ(r.glass.pixels[0], (Pixel{1, 2, 3, 4}));
    r.prepareGlass(std::nextafter(1.2, 2.0));
    EXPECT_NE(r.glass.pixels[0], (Pixel{1, 2, 3, 4}));
    EXPECT_EQ(r.glassStrength, std::nextafter(1.2, 2.0));
    // Marked stale (a new size): the same strength rebuilds.
    r.glass.pixels[0] = Pixel{1, 2, 3, 4};
    r.glassStrength = -1.0;
    r.prepareGlass(std::nextafter(1.2, 2.0));
    EXPECT_NE(r.glass.pixels[0], (Pixel{1, 2, 3, 4}));
}

// Every byte value in every channel, rebuilt in place at several strengths and
// then at a new size: each byte is the rounded, saturated product.
TEST(Glass, EveryByteIsRoundedProduct) {
    Image crystal{256, 1, {}};
    for (int v = 0; v < 256; ++v)
        crystal.pixels.push_back(Pixel{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(255 - v),
                                       static_cast<std::uint8_t>(v ^ 0x55), static_cast<std::uint8_t>(v)});
    Renderer r = withCrystal(crystal);
    for (const double strength : {0.5, 0.75, 1.0, std::nextafter(1.0, 2.0), 1.2, 1.37, 1.5}) {
        r.prepareGlass(strength);
        ASSERT_EQ(r.glass.pixels.size(), crystal.pixels.size());
        EXPECT_EQ(r.glass.width, 256);
        EXPECT_EQ(r.glass.height, 1);
        int wrong = 0;
        for (std::size_t i = 0; i < crystal.pixels.size(); ++i) {
            const Pixel s = crystal.pixels[i], g = r.glass.pixels[i];
            wrong += g.r != saturate(s.r * strength) || g.g != saturate(s.g * strength) ||
                     g.b != saturate(s.b * strength) || g.a != saturate(s.a * strength);
        }
        EXPECT_EQ(wrong, 0) << strength;
        EXPECT_EQ(r.glassStrength, strength);
    }
    // Another shape of the same pixel count keeps the new width and height.
    r.scaledCrystal = Image{16, 16, crystal.pixels};
    r.glassStrength = -1.0;
    r.prepareGlass(1.5);
    EXPECT_EQ(r.glass.width, 16);
    EXPECT_EQ(r.glass.height, 16);
    // A smaller crystal shrinks the layer.
    r.scaledCrystal = Image{2, 2, std::vector<Pixel>(4, Pixel{10, 10, 10, 10})};
    r.glassStrength = -1.0;
    r.prepareGlass(1.5);
    EXPECT_EQ(r.glass.pixels, std::vector<Pixel>(4, Pixel{15, 15, 15, 15}));
    EXPECT_EQ(r.glassRuns.size(), 2u);
}

// Rebuilt in its own storage over a visible layer, by looking for each row's
// visible pixels or from given stretches (tight, or as wide as the quick resizer
// may leave them): every byte the rounded product, clear stretches cleared, runs
// over exactly the visible pixels. Stretches that do not fit are not used.
TEST(Glass, RebuiltInPlaceByLookingOrFromGivenStretches) {
    const std::int32_t width = 60, height = 40;
    const std::size_t count = static_cast<std::size_t>(width) * height;
    Image crystal = randomCrystal(width, 11);
    crystal.height = height;
    crystal.pixels.resize(count);
    std::mt19937 rng(13);
    std::vector<Visible> rows;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::int32_t b = static_cast<std::int32_t>(rng() % 30),
                           e = b + static_cast<std::int32_t>(rng() % 31);
        for (std::int32_t x = 0; x < width; ++x)
            if (y % 6 == 0 || x < b || x >= e)
                crystal.pixels[static_cast<std::size_t>(y) * width + x] = Pixel{};
        // Widened by up to 3 on either side where the row has room; clear rows
        // sometimes empty, sometimes not.
        const std::int32_t wb = std::max(0, b - static_cast<std::int32_t>(rng() % 4));
        const std::int32_t we = std::min(width, e + static_cast<std::int32_t>(rng() % 4));
        rows.push_back(y % 12 == 0 ? Visible{width, width} : Visible{wb, we});
    }
    crystal.pixels[static_cast<std::size_t>(7) * width + 40] =
        Pixel{0, 0, 4, 0}; // colour without alpha: kept, no run
    rows[7].end = width;

    Renderer looked = withCrystal(Image{width, height, std::vector<Pixel>(count, Pixel{9, 9, 9, 90})});
    looked.prepareGlass(1.5);
    const Pixel* storage = looked.glass.pixels.data();
    looked.scaledCrystal = crystal;
    looked.glassStrength = -1.0;
    looked.prepareGlass(1.3);
    EXPECT_EQ(looked.glass.pixels.data(), storage);
    std::vector<int> covered(count, 0);
    for (const auto& run : looked.glassRuns)
        for (auto idx = run.begin; idx < run.end; ++idx)
            ++covered[idx];
    int wrong = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const Pixel c = crystal.pixels[k], g = looked.glass.pixels[k];
        wrong +=
            g != Pixel{saturate(c.r * 1.3), saturate(c.g * 1.3), saturate(c.b * 1.3), saturate(c.a * 1.3)};
        wrong += covered[k] != (g.a != 0 ? 1 : 0);
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(looked.glass.pixels[static_cast<std::size_t>(7) * width + 40], (Pixel{0, 0, 5, 0}));
    EXPECT_FALSE(looked.glassRuns.empty());

    auto same = [&](const Renderer& r) {
        if (r.glass.pixels != looked.glass.pixels || r.glassRuns.size() != looked.glassRuns.size())
            return false;
        for (std::size_t k = 0; k < r.glassRuns.size(); ++k)
            if (r.glassRuns[k].begin != looked.glassRuns[k].begin ||
                r.glassRuns[k].end != looked.glassRuns[k].end)
                return false;
        return true;
    };
    Renderer given = withCrystal(crystal);
    given.glass = Image{width, height, std::vector<Pixel>(count, Pixel{7, 7, 7, 7})}; // stale storage
    given.prepareGlass(1.3, rows);
    EXPECT_TRUE(same(given));
    // One stretch short, or one past the row: looked for instead.
    for (auto broken : {std::vector<Visible>(rows.begin(), rows.end() - 1), rows}) {
        if (broken.size() == rows.size()) broken.back() = Visible{0, width + 1};
        Renderer r = withCrystal(crystal);
        r.prepareGlass(1.3, broken);
        EXPECT_TRUE(same(r));
    }
}

TEST(Glass, TransparentOrEmptyCrystalHasNoRuns) {
    Renderer clear = withCrystal(Image{4, 4, std::vector<Pixel>(16)});
    clear.prepareGlass(1.5);
    EXPECT_TRUE(clear.glassRuns.empty());
    Image frame{4, 4, std::vector<Pixel>(16, Pixel{3, 4, 5, 200})};
    const Image before = frame;
    clear.compositeGlass(frame);
    EXPECT_EQ(frame.pixels, before.pixels);

    Renderer none = withCrystal(Image{});
    none.prepareGlass(1.0);
    EXPECT_TRUE(none.glass.empty());
    EXPECT_TRUE(none.glassRuns.empty());
    EXPECT_EQ(none.glassStrength, 1.0);
}

TEST(Glass, CompositeOverBlackAndTransparent) {
    Renderer r = withCrystal(Image{2, 1, {Pixel{128, 128, 128, 128}, Pixel{}}});
    r.prepareGlass(1.0);
    Image black{2, 1, {Pixel{0, 0, 0, 255}, Pixel{0, 0, 0, 255}}};
    r.compositeGlass(black);
    EXPECT_EQ(black.pixels[0], (Pixel{128, 128, 128, 255}));
    EXPECT_EQ(black.pixels[1], (Pixel{0, 0, 0, 255}));
    Image clear{2, 1, {Pixel{}, Pixel{}}};
    r.compositeGlass(clear);
    EXPECT_EQ(clear.pixels[0], (Pixel{128, 128, 128, 128}));
    // An opaque glass pixel replaces the frame pixel.
    Renderer opaque = withCrystal(Image{1, 1, {Pixel{9, 8, 7, 255}}});
    opaque.prepareGlass(1.0);
    Image one{1, 1, {Pixel{200, 100, 50, 255}}};
    opaque.compositeGlass(one);
    EXPECT_EQ(one.pixels[0], (Pixel{9, 8, 7, 255}));
    // A frame of another size is left alone rather than written out of bounds.
    Image other{1, 1, {Pixel{1, 1, 1, 1}}};
    r.compositeGlass(other);
    EXPECT_EQ(other.pixels[0], (Pixel{1, 1, 1, 1}));
}

// The integer blend over its whole input range (every premultiplied glass value,
// every destination byte) against the rounded double source-over.
TEST(Glass, IntegerBlendIsRoundedSourceOver) {
    Renderer r{Image{}, Image{}, Image{}};
    const std::int32_t width = 256;
    std::int32_t height = 0;
    for (int a = 0; a < 256; ++a)
        height += a + 1;
    r.glass = Image{width, height, {}};
    r.glass.pixels.reserve(static_cast<std::size_t>(width) * height);
    for (int a = 0; a < 256; ++a)
        for (int c = 0; c <= a; ++c)
            for (int d = 0; d < 256; ++d)
                r.glass.pixels.push_back(Pixel{static_cast<std::uint8_t>(c), 0,
                                               static_cast<std::uint8_t>(a - c),
                                               static_cast<std::uint8_t>(a)});
    r.glassRuns.push_back({0, r.glass.pixels.size()});
    Image frame{width, height, {}};
    frame.pixels.reserve(r.glass.pixels.size());
    for (std::int32_t y = 0; y < height; ++y)
        for (int d = 0; d < 256; ++d)
            frame.pixels.push_back(Pixel{static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(d),
                                         static_cast<std::uint8_t>(255 - d), static_cast<std::uint8_t>(d)});
    const Image before = frame;
    r.compositeGlass(frame);
    int wrong = 0;
    for (std::size_t idx = 0; idx < frame.pixels.size(); ++idx) {
        const Pixel s = r.glass.pixels[idx], d = before.pixels[idx], o = frame.pixels[idx];
        auto expect = [&](int sc, int dc) {
            if (s.a == 0) return dc;
            return static_cast<int>(std::lround(sc + dc * (255 - s.a) / 255.0));
        };
        wrong += o.r != expect(s.r, d.r) || o.g != expect(s.g, d.g) || o.b != expect(s.b, d.b) ||
                 o.a != expect(s.a, d.a);
    }
    EXPECT_EQ(wrong, 0);
}

TEST(Glass, DivideBy255IsTruncatingDivisionOverItsRange) {
    int wrong = 0;
    for (std::uint32_t x = 0; x <= 255u * 255u + 127u; ++x)
        wrong += divideBy255(x) != x / 255u;
    EXPECT_EQ(wrong, 0);
    // Beyond the range it is not the quotient: the range above is a real limit.
    EXPECT_NE(divideBy255(65535u), 65535u / 255u);
}

// Runs of every length from 1 to 13 at every offset modulo 4, over random glass
// including malformed pixels (colour above alpha, colour without alpha), against
// the integer blend written out per channel.
TEST(Glass, CompositeAlongShortRunsMatchesPerPixelBlend) {
    std::mt19937 rng(77);
    const std::int32_t width = 64, height = 60;
    Renderer r{Image{}, Image{}, Image{}};
    r.glass = Image{width, height, {}};
    Image frame{width, height, {}};
    for (std::int32_t k = 0; k < width * height; ++k) {
        auto byte = [&] { return static_cast<std::uint8_t>(rng()); };
        const unsigned kind = rng() % 7;
        const std::uint8_t a = kind == 0 || kind == 6 ? 0 : (kind == 1 ? 255 : byte());
        auto colour = [&] { return kind >= 5 ? byte() : static_cast<std::uint8_t>(rng() % (a + 1u)); };
        const std::uint8_t cr = colour(), cg = colour(), cb = colour();
        r.glass.pixels.push_back(Pixel{cr, cg, cb, a});
        frame.pixels.push_back(Pixel{byte(), byte(), byte(), byte()});
    }
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint64_t rowStart = static_cast<std::uint64_t>(y) * width;
        const std::uint64_t begin = rowStart + static_cast<std::uint64_t>(y % 4 + y / 13);
        r.glassRuns.push_back({begin, begin + static_cast<std::uint64_t>(y % 13 + 1)});
        if (y % 3 == 0) r.glassRuns.push_back({rowStart + 30, rowStart + width});
    }
    const Image before = frame;
    r.compositeGlass(frame);
    std::vector<bool> inRun(frame.pixels.size(), false);
    for (const auto& run : r.glassRuns)
        for (std::uint64_t idx = run.begin; idx < run.end; ++idx)
            inRun[idx] = true;
    int wrong = 0;
    for (std::size_t idx = 0; idx < frame.pixels.size(); ++idx) {
        const Pixel s = r.glass.pixels[idx], d = before.pixels[idx], o = frame.pixels[idx];
        if (!inRun[idx] || s.a == 0) {
            wrong += o != d;
            continue;
        }
        const unsigned k = 255u - s.a;
        auto blend = [k](unsigned sc, unsigned dc) { return std::min(255u, sc + (dc * k + 127u) / 255u); };
        wrong += o.r != blend(s.r, d.r) || o.g != blend(s.g, d.g) || o.b != blend(s.b, d.b) ||
                 o.a != blend(s.a, d.a);
    }
    EXPECT_EQ(wrong, 0);
}

} // namespace
} // namespace velmor

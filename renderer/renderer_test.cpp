#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "renderer/renderer.h"
#include "renderer/resample.h"
#include "renderer/simd.h"
#include "renderer/test_images.h"
#include "testing/vectors_from_environment.h"

namespace velmor {
// Every allocation of this test program is counted (operator new is replaced at
// the end of this file), so a steady frame can be shown to allocate nothing.
std::atomic<long> allocations{0};
std::atomic<long> allocatedBytes{0};

namespace {

using test::blank;
using test::premultiplied;

constexpr int artSize = 400; // small synthetic artwork keeps the resizes quick

Pixel premultiply(int r, int g, int b, int a) {
    return Pixel{static_cast<std::uint8_t>(r * a / 255), static_cast<std::uint8_t>(g * a / 255),
                 static_cast<std::uint8_t>(b * a / 255), static_cast<std::uint8_t>(a)};
}

// A round dial with a rim on a transparent square, shaded so resizing shows.
Image face() {
    Image image = blank(artSize);
    for (int i = 0; i < artSize; ++i)
        for (int j = 0; j < artSize; ++j) {
            const double x = j + 0.5 - artSize / 2.0, y = i + 0.5 - artSize / 2.0, r = std::hypot(x, y);
            if (r > artSize * 0.48) continue;
            Pixel& p = image.pixels[static_cast<std::size_t>(i) * artSize + j];
            p = r > artSize * 0.44 ? premultiply(120, 90, 40, 255)
                                   : premultiply(230 - j / 8, 225 - i / 8, 210, 255);
        }
    return image;
}

// The face with brass hands at the reference pose (hour 305, minute 60) and a hub.
Image reference() {
    const Renderer probe{Image{}, Image{}, Image{}};
    Image image = face();
    const double pi = 3.141592653589793;
    for (int i = 0; i < artSize; ++i)
        for (int j = 0; j < artSize; ++j) {
            const double X = (j + 0.5) * 1000.0 / artSize - 500, Y = (i + 0.5) * 1000.0 / artSize - 492;
            Pixel& p = image.pixels[static_cast<std::size_t>(i) * artSize + j];
            if (std::hypot(X, Y) < 30) {
                p = premultiply(215, 170, 90 + j / 10, 255);
                continue;
            }
            for (int hand : {0, 1}) {
                const double t = (hand == 0 ? 305 : 60) * pi / 180;
                const double x = std::cos(t) * X + std::sin(t) * Y, y = -std::sin(t) * X + std::cos(t) * Y;
                const Renderer::LeafSection s = probe.leaf(hand, -y);
                if (y <= 0 && std::fabs(x - s.shift) <= s.halfWidth)
                    p = premultiply(190 + hand * 20, 150, 70, 255);
            }
        }
    return image;
}

// A soft highlight over the upper left, transparent elsewhere.
Image crystal() {
    Image image = blank(artSize);
    for (int i = 0; i < artSize; ++i)
        for (int j = 0; j < artSize; ++j) {
            const double d = std::hypot(j - artSize * 0.35, i - artSize * 0.3) / (artSize * 0.25);
            if (d < 1)
                image.pixels[static_cast<std::size_t>(i) * artSize + j] =
                    premultiply(255, 255, 255, int(90 * (1 - d)));
        }
    return image;
}

std::unique_ptr<Renderer> makeRenderer() {
    return Renderer::make(face(), reference(), crystal());
}

std::uint64_t fnv(const Image& image) {
    std::uint64_t h = 1469598103934665603ull;
    auto mix = [&h](std::uint64_t v) { h = (h ^ v) * 1099511628211ull; };
    mix(static_cast<std::uint32_t>(image.width));
    mix(static_cast<std::uint32_t>(image.height));
    for (const Pixel& p : image.pixels) {
        mix(p.r);
        mix(p.g);
        mix(p.b);
        mix(p.a);
    }
    return h;
}

const Options all{true, true, true, true, 1.0};
const Time tenTwenty{10, 20, 30, 900};

// What a frame must be: the scaled face, the hands at the given angles, the cap.
Image composed(const Renderer& r, double hour, double minute, double seconds, bool withSeconds,
               bool shadows) {
    Image out = r.scaledFace;
    if (shadows) {
        r.polygon(out, 0, hour, true);
        r.polygon(out, 1, minute, true);
        if (withSeconds) r.polygon(out, 2, seconds, true);
    }
    r.polygon(out, 0, hour, false);
    r.polygon(out, 1, minute, false);
    if (withSeconds) {
        r.polygon(out, 2, seconds, false);
        const double t = seconds * 3.141592653589793 / 180;
        r.circle(out, 500 + 210 * std::sin(t), 492 - 210 * std::cos(t), 6, false);
    }
    r.circle(out, 500, 492, 28, true);
    return out;
}

TEST(RendererMake, RefusesEmptyOrShortArtworkAndAnUnusableRendererDrawsTransparent) {
    EXPECT_NE(makeRenderer(), nullptr);
    EXPECT_EQ(Renderer::make(Image{}, reference(), crystal()), nullptr);
    EXPECT_EQ(Renderer::make(face(), Image{}, crystal()), nullptr);
    EXPECT_EQ(Renderer::make(face(), reference(), Image{}), nullptr);
    Image shortOne = face();
    shortOne.pixels.resize(10); // claims 400 x 400 but holds 10 pixels
    EXPECT_EQ(Renderer::make(face(), reference(), std::move(shortOne)), nullptr);

    Renderer unusable{face(), Image{}, crystal()};
    EXPECT_FALSE(unusable.usable());
    Image out = blank(7);
    out.pixels[3] = Pixel{1, 2, 3, 4};
    unusable.renderTo(out, 300, tenTwenty, all, false);
    EXPECT_EQ(out.width, 300);
    EXPECT_EQ(out.height, 300);
    ASSERT_EQ(out.pixels.size(), 300u * 300u);
    for (const Pixel& p : out.pixels)
        ASSERT_EQ(p, Pixel{});
}

TEST(RendererFrame, SizeIsClampedAndOutIsReplaced) {
    auto r = makeRenderer();
    Image out = blank(999);
    r->renderTo(out, 100, tenTwenty, all, false);
    EXPECT_EQ(out.width, 160);
    EXPECT_EQ(out.height, 160);
    EXPECT_EQ(out.pixels.size(), 160u * 160u);
    r->renderTo(out, 5000, tenTwenty, all, true);
    EXPECT_EQ(out.width, 1200);
    EXPECT_EQ(out.pixels.size(), 1200u * 1200u);
    EXPECT_EQ(r->scaledSize, 1200);
    r->renderTo(out, -5, tenTwenty, all, false);
    EXPECT_EQ(out.width, 160);
}

TEST(RendererFrame, AnglesAndLayerOrderMatchTheHandsDrawnOneByOne) {
    auto r = makeRenderer();
    Options plain = all;
    plain.crystal = false;
    Image out;
    struct Case {
        Time time;
        bool smooth, seconds, shadows;
        double hour, minute, secondsAngle;
    };
    const Case cases[] = {
        {tenTwenty, false, true, true, 310.25, 123, 180},
        {tenTwenty, true, true, true, 310.25 + 0.9 / 120, 123 + 0.09, 185.4},
        {{3, 0, 0, 0}, true, true, true, 90, 0, 0},
        {{15, 0, 0, 0}, true, true, true, 90, 0, 0},
        {tenTwenty, false, false, true, 310.25, 123, 180},
        {tenTwenty, false, true, false, 310.25, 123, 180},
        {tenTwenty, false, false, false, 310.25, 123, 180},
    };
    for (const Case& c : cases) {
        Options o = plain;
        o.smooth = c.smooth;
        o.seconds = c.seconds;
        o.shadows = c.shadows;
        r->renderTo(out, 320, c.time, o, false);
        const Image expected = composed(*r, c.hour, c.minute, c.secondsAngle, c.seconds, c.shadows);
        // Literal angles may differ from the computed ones in the last bit.
        int off = 0;
        for (std::size_t k = 0; k < out.pixels.size(); ++k) {
            const Pixel a = out.pixels[k], b = expected.pixels[k];
            ASSERT_LE(std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) + std::abs(a.a - b.a),
                      4);
            off += !(a == b);
        }
        EXPECT_LE(off, 3) << c.hour << " " << c.minute << " " << c.secondsAngle;
        // Drawing without seconds or shadows really drops them.
        if (!c.seconds || !c.shadows) {
            const Image full = composed(*r, c.hour, c.minute, c.secondsAngle, true, true);
            int differ = 0;
            for (std::size_t k = 0; k < out.pixels.size(); ++k)
                differ += !(out.pixels[k] == full.pixels[k]);
            EXPECT_GT(differ, 100);
        }
    }
}

// The frame draws the hands that overwrite pixels whole before the shadows and
// skips the shadow work under them: exactly the bytes of the layers drawn one
// by one, hands crossing each other and their shadows, over brass that is
// opaque and brass that is partly see-through.
TEST(RendererFrame, HandsDrawnOverTheirShadowsMatchTheLayersOneByOne) {
    const Image references[] = {reference(), test::speckled(artSize, 7, false)};
    const Time times[] = {{12, 0, 0, 0},    {1, 5, 27, 300}, {3, 16, 20, 0},
                          {6, 32, 43, 500}, {9, 49, 5, 0},   {10, 20, 30, 900}};
    Options plain = all;
    plain.crystal = false;
    for (const Image& art : references) {
        auto r = Renderer::make(face(), art, crystal());
        ASSERT_NE(r, nullptr);
        for (int size : {160, 333, 900})
            for (const Time& t : times)
                for (bool seconds : {true, false}) {
                    Options o = plain;
                    o.seconds = seconds;
                    Image out;
                    r->renderTo(out, size, t, o, false);
                    const Angles a = handAngles(t, true);
                    const Image expected = composed(*r, a.hour, a.minute, a.second, seconds, true);
                    EXPECT_TRUE(out.pixels == expected.pixels)
                        << size << " px at " << t.hour << ":" << t.minute << ":" << t.second << " seconds "
                        << seconds << (&art == references ? "" : ", see-through brass");
                }
    }
}

TEST(RendererFrame, NoonAndMidnightAreTheSameFrame) {
    auto r = makeRenderer();
    Image noon, midnight;
    r->renderTo(noon, 400, {12, 0, 0, 0}, all, false);
    r->renderTo(midnight, 400, {0, 0, 0, 0}, all, false);
    EXPECT_EQ(noon.pixels, midnight.pixels);
    r->renderTo(noon, 400, {12, 7, 8, 9}, all, false);
    r->renderTo(midnight, 400, {0, 7, 8, 9}, all, false);
    EXPECT_EQ(noon.pixels, midnight.pixels);
}

TEST(RendererFrame, PremultipliedReproducibleTransparentCornersAndCapOnTop) {
    auto r = makeRenderer();
    auto other = makeRenderer();
    for (int size : {160, 333, 640}) {
        Image a, b;
        r->renderTo(a, size, tenTwenty, all, false);
        other->renderTo(b, 777, {1, 2, 3, 4}, all, true); // a different history
        other->renderTo(b, size, tenTwenty, all, false);
        EXPECT_EQ(a.pixels, b.pixels) << size;
        EXPECT_TRUE(premultiplied(a)) << size;
        for (int y : {0, size - 1})
            for (int x : {0, size - 1})
                EXPECT_EQ(a.pixels[static_cast<std::size_t>(y) * size + x], Pixel{});
        // The cap covers the pivot with the reference hub's colour (opaque).
        const int cx = size / 2, cy = static_cast<int>(0.492 * size);
        const Pixel cap = a.pixels[static_cast<std::size_t>(cy) * size + cx];
        EXPECT_EQ(cap.a, 255);
        EXPECT_NEAR(cap.r, 215, 3);
        EXPECT_NEAR(cap.g, 170, 3);
    }
}

// The glass is the scaled crystal with every byte scaled by the strength.
bool glassIsCrystalAt(const Renderer& r, double strength) {
    if (r.glass.pixels.size() != r.scaledCrystal.pixels.size()) return false;
    for (std::size_t k = 0; k < r.glass.pixels.size(); ++k) {
        const Pixel c = r.scaledCrystal.pixels[k], g = r.glass.pixels[k];
        if (g != Pixel{saturate(c.r * strength), saturate(c.g * strength), saturate(c.b * strength),
                       saturate(c.a * strength)})
            return false;
    }
    return true;
}

TEST(RendererCache, RebuildsOnlyWhatItsKeyAsks) {
    auto r = makeRenderer();
    Image out;
    EXPECT_EQ(r->scaledSize, 0);
    r->renderTo(out, 300, tenTwenty, all, false);
    EXPECT_EQ(r->glassStrength, 1.0);
    // A rebuild rewrites every pixel, storage reused or not, so a marker in a
    // clear corner of a cache tells whether it was rebuilt.
    const Pixel marker{1, 2, 3, 4};
    auto mark = [&] { r->scaledFace.pixels[0] = r->scaledCrystal.pixels[0] = r->glass.pixels[0] = marker; };
    mark();
    const Pixel* face = r->scaledFace.pixels.data();
    const Pixel* crystalPixels = r->scaledCrystal.pixels.data();
    const Pixel* glassPixels = r->glass.pixels.data();
    const Pixel* outPixels = out.pixels.data();

    // Same key: nothing resized or rebuilt, out's storage reused.
    r->renderTo(out, 300, {4, 5, 6, 7}, all, false);
    EXPECT_EQ(r->scaledFace.pixels.data(), face);
    EXPECT_EQ(r->scaledCrystal.pixels.data(), crystalPixels);
    EXPECT_EQ(r->glass.pixels.data(), glassPixels);
    EXPECT_EQ(out.pixels.data(), outPixels);
    EXPECT_EQ(r->scaledFace.pixels[0], marker);
    EXPECT_EQ(r->scaledCrystal.pixels[0], marker);
    EXPECT_EQ(r->glass.pixels[0], marker);

    // Only the reflection: only the glass, now at the new strength.
    Options o = all;
    o.reflection = 1.2;
    r->renderTo(out, 300, tenTwenty, o, false);
    EXPECT_EQ(r->scaledFace.pixels[0], marker);
    EXPECT_EQ(r->scaledCrystal.pixels[0], marker);
    EXPECT_EQ(r->glass.pixels[0],
              (Pixel{saturate(1 * 1.2), saturate(2 * 1.2), saturate(3 * 1.2), saturate(4 * 1.2)}));
    EXPECT_TRUE(glassIsCrystalAt(*r, 1.2));
    EXPECT_FALSE(glassIsCrystalAt(*r, 1.0)); // the strength shows
    EXPECT_EQ(r->glassStrength, 1.2);

    // Only fast: both scaled images and the glass, with the quick resizer's
    // pixels; then a larger and a smaller size, which leave no stale pixels.
    const std::vector<Pixel> lanczos = r->scaledFace.pixels;
    for (int size : {300, 320, 310, 160}) {
        mark();
        r->renderTo(out, size, tenTwenty, o, true);
        EXPECT_TRUE(r->scaledFast);
        EXPECT_EQ(r->scaledFace.pixels, resampleFast(r->faceImage, size).pixels) << size;
        EXPECT_EQ(r->scaledCrystal.pixels, resampleFast(r->crystalImage, size).pixels) << size;
        EXPECT_TRUE(glassIsCrystalAt(*r, 1.2)) << size;
        EXPECT_EQ(r->glass.width, size);
        if (size == 300) {
            EXPECT_NE(r->scaledFace.pixels, lanczos);
        }
        Image fresh;
        makeRenderer()->renderTo(fresh, size, tenTwenty, o, true);
        EXPECT_EQ(out.pixels, fresh.pixels) << size;
    }

    // A new size without the crystal leaves the glass stale until a crystal frame.
    o.crystal = false;
    r->renderTo(out, 310, tenTwenty, o, true);
    EXPECT_EQ(r->glassStrength, -1.0);
    o.crystal = true;
    r->renderTo(out, 310, tenTwenty, o, true);
    EXPECT_EQ(r->glassStrength, 1.2);
    EXPECT_EQ(r->glass.width, 310);
}

// The frame in the plain order: the face, every drawing, then the whole glass.
Image wholeFrame(const Renderer& r, Time t, Options o) {
    const Angles angles = handAngles(t, o.smooth);
    Image out = composed(r, angles.hour, angles.minute, angles.second, o.seconds, o.shadows);
    if (o.crystal) r.compositeGlass(out);
    return out;
}

// Steady frames redraw only what this frame's hands and discs may touch over
// the cached face under glass: the same bytes as the plain order, for hands
// everywhere on the dial and every combination of layers.
TEST(RendererCache, SteadyFramesUnderGlassAreTheWholeFrame) {
    struct Case {
        int size;
        bool fast;
        Options options;
    };
    const Case cases[] = {
        {160, false, all},
        {301, false, {false, false, true, true, 1.37}},
        {301, true, {true, true, false, true, 0.5}},
        {640, false, {true, true, true, true, 1.5}},
    };
    for (const Case& c : cases) {
        auto r = makeRenderer();
        Image out;
        r->renderTo(out, c.size, tenTwenty, c.options, c.fast);
        EXPECT_EQ(r->faceGlassStrength, -1.0); // not built on a frame with a new size
        int frames = 0;
        for (int k = 0; k < 36; ++k) {
            const Time t{(k * 7) % 24, (k * 13) % 60, (k * 29) % 60, (k * 277) % 1000};
            r->renderTo(out, c.size, t, c.options, c.fast);
            ASSERT_EQ(r->faceGlassStrength, r->glassStrength);
            const Image expected = wholeFrame(*r, t, c.options);
            EXPECT_EQ(out.pixels, expected.pixels) << c.size << " frame " << k;
            frames += out.pixels == expected.pixels;
        }
        EXPECT_EQ(frames, 36);
        // The face under glass really is the face with the whole layer over it.
        Image under = r->scaledFace;
        r->compositeGlass(under);
        EXPECT_EQ(r->faceGlass.pixels, under.pixels);
    }
}

// The face under glass follows every change of what lies under it: a new
// strength or size makes it stale on that frame (and it is not built there), the
// next frame at the same settings builds it again.
TEST(RendererCache, FaceUnderGlassIsRebuiltAfterEachChange) {
    auto r = makeRenderer();
    Image out;
    Options o = all;
    r->renderTo(out, 300, tenTwenty, o, false);
    r->renderTo(out, 300, tenTwenty, o, false);
    EXPECT_EQ(r->faceGlassStrength, 1.0);
    o.reflection = 1.3;
    r->renderTo(out, 300, tenTwenty, o, false);
    EXPECT_EQ(r->faceGlassStrength, -1.0);
    EXPECT_EQ(out.pixels, wholeFrame(*r, tenTwenty, o).pixels);
    r->renderTo(out, 300, {1, 2, 3, 4}, o, false);
    EXPECT_EQ(r->faceGlassStrength, 1.3);
    EXPECT_EQ(out.pixels, wholeFrame(*r, {1, 2, 3, 4}, o).pixels);
    for (int size : {301, 302, 303}) { // animation steps
        r->renderTo(out, size, tenTwenty, o, true);
        EXPECT_EQ(r->faceGlassStrength, -1.0);
    }
    r->renderTo(out, 303, {5, 6, 7, 8}, o, true);
    EXPECT_EQ(r->faceGlassStrength, 1.3);
    EXPECT_EQ(r->faceGlass.width, 303);
    EXPECT_EQ(out.pixels, wholeFrame(*r, {5, 6, 7, 8}, o).pixels);
    // Without the crystal the frame is the plain one and the cache stays as it was.
    o.crystal = false;
    r->renderTo(out, 303, {9, 6, 7, 8}, o, true);
    EXPECT_EQ(out.pixels, wholeFrame(*r, {9, 6, 7, 8}, o).pixels);
    EXPECT_EQ(r->faceGlassStrength, 1.3);
}

TEST(RendererCache, ReflectionStrengthIsClamped) {
    auto r = makeRenderer();
    Image out;
    Options o = all;
    for (auto [asked, used] :
         {std::pair{0.2, 0.5}, {3.0, 1.5}, {1.5, 1.5}, {1.0, 1.0}, {0.5, 0.5}, {-1.0, 0.5}}) {
        o.reflection = asked;
        r->renderTo(out, 200, tenTwenty, o, false);
        EXPECT_EQ(r->glassStrength, used) << asked;
    }
    // The crystal really is on top: a brighter glass lightens the frame.
    Image weak, strong;
    o.reflection = 0.5;
    r->renderTo(weak, 400, tenTwenty, o, false);
    o.reflection = 1.5;
    r->renderTo(strong, 400, tenTwenty, o, false);
    long sumWeak = 0, sumStrong = 0;
    for (std::size_t k = 0; k < weak.pixels.size(); ++k)
        sumWeak += weak.pixels[k].g, sumStrong += strong.pixels[k].g;
    EXPECT_GT(sumStrong, sumWeak + 1000);
}

// Golden frames from the synthetic artwork above. They change whenever anything
// in the drawing changes on purpose (artwork synthesis, resizer, rasteriser,
// glass): look at the new frames, then replace the numbers with the ones this
// test prints on failure (natively, and under Wine for the second column).
// The C runtimes' sine and cosine may differ in the last bit for some angles,
// which moves a few edge pixels: such a frame has one hash per platform.
TEST(RendererFrame, GoldenChecksums) {
    auto r = makeRenderer();
    struct Golden {
        int size;
        Time time;
        Options options;
        bool fast;
        std::uint64_t hash;
        std::uint64_t mingwHash;
    };
    const Golden goldens[] = {
        {320, tenTwenty, all, false, 0x24cc939fa87a007d, 0x24cc939fa87a007d},
        {777,
         {7, 41, 13, 250},
         {true, false, true, true, 0.8},
         false,
         0x2d06eede6423bd3f,
         0xe081ed436dd1b48b},
        {1200,
         {23, 59, 59, 999},
         {false, true, false, false, 1.0},
         true,
         0x261ebf8758206e05,
         0x261ebf8758206e05},
    };
    for (const Golden& g : goldens) {
        Image out;
        r->renderTo(out, g.size, g.time, g.options, g.fast);
        if (const char* dump = std::getenv("VELMOR_DUMP_FRAMES")) { // raw RGBA, for looking at
            std::FILE* f =
                std::fopen((std::string(dump) + "/frame" + std::to_string(g.size) + ".rgba").c_str(), "wb");
            if (f) std::fwrite(out.pixels.data(), 4, out.pixels.size(), f), std::fclose(f);
        }
#ifdef _WIN32
        const std::uint64_t expected = g.mingwHash;
#else
        const std::uint64_t expected = g.hash;
#endif
        EXPECT_EQ(fnv(out), expected) << "size " << g.size << ": 0x" << std::hex << fnv(out);
    }
}

// VELMOR_VECTORS narrows the processor check of this test program (never of
// the clock). The RendererFrame.WithoutAvx2 run of these tests sets it to
// sse2, and this holds that its golden frames really come from the paths a
// processor without AVX2 takes.
TEST(RendererFrame, VectorsNarrowedByTheEnvironment) {
    const char* cap = std::getenv("VELMOR_VECTORS");
    const std::string asked = cap != nullptr ? cap : "";
    if (asked == "sse2") {
        EXPECT_EQ(vectorLevel(), 0);
    } else if (asked == "avx2") {
        EXPECT_LE(vectorLevel(), 1);
    } else {
#if VELMOR_X86_64
        __builtin_cpu_init();
        EXPECT_EQ(vectorLevel() >= 1, __builtin_cpu_supports("avx2") != 0);
#else
        EXPECT_EQ(vectorLevel(), 0);
#endif
    }
}

// The cap only narrows: a cap above what the processor offers changes nothing,
// and lifting it again gives the processor's answer back.
TEST(RendererFrame, VectorCapNarrowsNeverWidens) {
    const int before = vectorLevel();
    capVectors(2);
    const int offered = vectorLevel();
    EXPECT_GE(offered, before);
    for (int cap : {-1, 0, 1, 2, 3}) {
        capVectors(cap);
        EXPECT_EQ(vectorLevel(), std::min(offered, std::max(cap, 0))) << cap;
    }
    capVectors(velmor::testing::vectorsFromEnvironment());
    EXPECT_EQ(vectorLevel(), before);
}

// A frame at an unchanged size and strength works in the storage it already has:
// the caches, the output and the rasteriser's own tables.
TEST(RendererFrame, SteadyFramesAllocateNothing) {
    auto r = makeRenderer();
    Image out;
    for (const Options& o :
         {all, Options{true, true, false, false, 1.0}, Options{false, false, true, true, 0.7}}) {
        for (int size : {160, 517}) {
            // The first frame builds the caches, the second the face under glass.
            r->renderTo(out, size, tenTwenty, o, false);
            r->renderTo(out, size, tenTwenty, o, false);
            const long before = allocations.load();
            for (int k = 0; k < 12; ++k)
                r->renderTo(out, size, Time{(k * 5) % 24, (k * 11) % 60, (k * 23) % 60, (k * 131) % 1000}, o,
                            false);
            EXPECT_EQ(allocations.load() - before, 0) << "size " << size;
        }
    }
    // The count is real: a new size allocates.
    const long before = allocations.load();
    r->renderTo(out, 700, tenTwenty, all, false);
    EXPECT_GT(allocations.load(), before);
}

// A clock that keeps its frame between ticks redraws only where the last and
// this frame's hands may draw: over a long run of ticks across seconds and
// minutes, option flips, strength changes, resizes and animation steps, every
// frame has exactly the bytes of a whole frame, the rows said to be unchanged
// are, and steady ticks really are partial and allocate nothing.
TEST(RendererFrame, FramesDrawnOverTheLastAreWholeFrames) {
    auto over = makeRenderer();
    auto whole = makeRenderer();
    Image out, previous;
    int partial = 0;
    long steadyAllocations = 0;
    for (int k = 0; k < 160; ++k) {
        SCOPED_TRACE(k);
        Options o = all;
        if (k >= 40 && k < 60) o.shadows = false;
        if (k >= 60 && k < 80) o.crystal = false;
        if (k >= 80 && k < 90) o.seconds = false;
        if (k >= 90 && k < 100) o.reflection = 1.35;
        const int size = k < 110 ? 320 : k < 115 ? 320 + 37 * (k - 109) : 517;
        const bool fast = k >= 110 && k < 115;
        // Ticks 80 ms apart across a minute's end, then whole seconds.
        const int ms = k < 120 ? 59000 + 80 * k : 80000 + 1000 * k;
        const Time t{23, 59 * (k < 120), (ms / 1000) % 60, ms % 1000};

        const long before = allocations.load();
        const Renderer::RowSpan changed = over->renderOver(out, size, t, o, fast);
        if (k > 2 && (k < 40 || k > 125)) steadyAllocations += allocations.load() - before;
        Image expected;
        whole->renderTo(expected, size, t, o, fast);
        ASSERT_EQ(out.width, expected.width);
        ASSERT_EQ(out.pixels, expected.pixels);

        ASSERT_LE(0, changed.top);
        ASSERT_LE(changed.bottom, out.height);
        // Every pixel that changed lies in the rows returned and in its row's
        // changed columns.
        ASSERT_EQ(over->changedColumns.size(), static_cast<std::size_t>(out.height));
        if (previous.width == out.width) {
            for (int y = 0; y < out.height; ++y) {
                const RowReach columns = over->changedColumns[static_cast<std::size_t>(y)];
                for (int x = 0; x < out.width; ++x) {
                    const std::size_t at = static_cast<std::size_t>(y) * out.width + x;
                    if (out.pixels[at] == previous.pixels[at]) continue;
                    ASSERT_TRUE(y >= changed.top && y < changed.bottom && x >= columns.first &&
                                x <= columns.last)
                        << "pixel " << x << "," << y << " changed outside rows " << changed.top << ".."
                        << changed.bottom << ", columns " << columns.first << ".." << columns.last;
                }
            }
        }
        partial += changed.bottom - changed.top < out.height;
        previous = out;
    }
    EXPECT_GT(partial, 100);
    EXPECT_EQ(steadyAllocations, 0);

    // A frame drawn whole into the same image (or any write the renderer does
    // not make) is followed by a whole frame, never a partial one over it.
    over->renderTo(out, 517, tenTwenty, all, false);
    const Renderer::RowSpan changed = over->renderOver(out, 517, tenTwenty, all, false);
    EXPECT_EQ(changed.top, 0);
    EXPECT_EQ(changed.bottom, 517);
}

// The steps of an animated resize that grows take room to grow into once, not
// new frame-sized storage at every step (which would fault in fresh pages each
// time, a frame of memory per image).
TEST(RendererFrame, GrowingAnimationStepsReuseTheirStorage) {
    auto r = makeRenderer();
    Image out;
    r->renderTo(out, 400, tenTwenty, all, false);
    r->renderTo(out, 404, tenTwenty, all, true); // the first growing step takes its room
    const long before = allocatedBytes.load();
    for (int size = 408; size <= 560; size += 8)
        r->renderTo(out, size, tenTwenty, all, true);
    const long oneFrame = 560L * 560L * static_cast<long>(sizeof(Pixel));
    EXPECT_LT(allocatedBytes.load() - before, oneFrame); // only the resizer's small plans
    // Settled at the end: the frame is the full-quality one of its size.
    r->renderTo(out, 560, tenTwenty, all, false);
    EXPECT_EQ(out.width, 560);
    EXPECT_FALSE(r->scaledFast);
}

} // namespace
} // namespace velmor

// Out of line, so the compiler does not pair an inlined malloc with a delete
// expression and warn of a mismatch that is not there.
[[gnu::noinline]] void* operator new(std::size_t size) {
    ++velmor::allocations;
    velmor::allocatedBytes += static_cast<long>(size);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

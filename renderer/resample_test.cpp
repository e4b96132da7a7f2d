#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>

#include "renderer/resample.h"
#include "renderer/test_images.h"

namespace velmor {
namespace {

using test::randomImage;
using test::solid;

// ---- Plain references, written straight from the formulas. ----

struct Middle {
    std::int32_t width = 0;
    std::vector<float> values; // rows x width x 4
};

// The horizontal pass: double sums in tap order, stored as float.
Middle referenceHorizontal(const Image& source, std::int32_t size) {
    const auto columns = taps(source.width, size);
    Middle m{size, std::vector<float>(static_cast<std::size_t>(source.height) * size * 4)};
    for (std::int32_t y = 0; y < source.height; ++y)
        for (std::int32_t i = 0; i < size; ++i) {
            double r = 0, g = 0, b = 0, a = 0;
            for (const Tap& t : columns[i]) {
                const Pixel p = source.pixels[static_cast<std::size_t>(y) * source.width + t.index];
                r += p.r * t.weight;
                g += p.g * t.weight;
                b += p.b * t.weight;
                a += p.a * t.weight;
            }
            float* out = &m.values[(static_cast<std::size_t>(y) * size + i) * 4];
            out[0] = static_cast<float>(r);
            out[1] = static_cast<float>(g);
            out[2] = static_cast<float>(b);
            out[3] = static_cast<float>(a);
        }
    return m;
}

// The vertical pass and byte conversion of output pixel (i, j).
Pixel referencePixel(const Middle& m, const std::vector<Tap>& rowTaps, std::int32_t i) {
    double v[4] = {0, 0, 0, 0};
    for (const Tap& t : rowTaps)
        for (int c = 0; c < 4; ++c)
            v[c] += static_cast<double>(m.values[(static_cast<std::size_t>(t.index) * m.width + i) * 4 + c]) *
                    t.weight;
    const double limit = v[3] >= 255 ? 255 : (v[3] > 0 ? v[3] : 0);
    std::uint8_t colour[3];
    for (int c = 0; c < 3; ++c) {
        double x = v[c];
        if (x >= limit) x = limit;
        colour[c] = saturate(x); // x <= 255 here
    }
    return Pixel{colour[0], colour[1], colour[2], saturate(v[3])};
}

Image referenceResample(const Image& source, std::int32_t size) {
    if (source.width == size && source.height == size) return source;
    const Middle m = referenceHorizontal(source, size);
    const auto rows = taps(source.height, size);
    Image out{size, size, std::vector<Pixel>(static_cast<std::size_t>(size) * size)};
    for (std::int32_t j = 0; j < size; ++j)
        for (std::int32_t i = 0; i < size; ++i)
            out.pixels[static_cast<std::size_t>(j) * size + i] = referencePixel(m, rows[j], i);
    return out;
}

struct FastAxis {
    std::int32_t first, second, weight;
};
FastAxis fastAxis(std::int32_t i, std::int32_t length, std::int32_t size) {
    const double d = (i + 0.5) * length / size - 0.5;
    const double e = std::floor(d);
    const auto clamp = [length](double v) {
        return static_cast<std::int32_t>(std::min<double>(std::max(v, 0.0), length - 1));
    };
    return {clamp(e), clamp(e + 1),
            static_cast<std::int32_t>(saturate((d - e) * 256) + ((d - e) * 256 >= 255.5))};
}

Pixel referenceFastPixel(const Image& s, std::int32_t size, std::int32_t i, std::int32_t j) {
    const FastAxis x = fastAxis(i, s.width, size), y = fastAxis(j, s.height, size);
    const std::uint32_t wr = x.weight, wl = 256 - wr, t = y.weight, u = 256 - t;
    auto at = [&](std::int32_t col, std::int32_t row) {
        return s.pixels[static_cast<std::size_t>(row) * s.width + col];
    };
    const Pixel p00 = at(x.first, y.first), p10 = at(x.second, y.first), p01 = at(x.first, y.second),
                p11 = at(x.second, y.second);
    auto mix = [&](std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
        return static_cast<std::uint8_t>(((a * wl + b * wr) * u + (c * wl + d * wr) * t + 32768) >> 16);
    };
    return Pixel{mix(p00.r, p10.r, p01.r, p11.r), mix(p00.g, p10.g, p01.g, p11.g),
                 mix(p00.b, p10.b, p01.b, p11.b), mix(p00.a, p10.a, p01.a, p11.a)};
}

// Runs a check with the AVX-512, the AVX2 (each where the CPU has them) and the
// baseline kernels.
template <typename F> void bothKernels(F check) {
    for (int widest : {2, 1, 0}) {
        SCOPED_TRACE(widest == 0 ? "baseline kernels"
                                 : (widest == 1 ? "AVX2 kernels at most" : "default kernels"));
        detail::limitKernels(widest);
        check();
    }
    detail::limitKernels(2);
}

// ---- taps ----

TEST(Taps, WorkedExampleTwoToFour) {
    const auto t = taps(2, 4);
    ASSERT_EQ(t.size(), 4u);
    const Tap first[] = {{0, 0.007378}, {0, -0.067997}, {0, 0.271011},
                         {0, 0.892771}, {1, -0.133275}, {1, 0.030112}};
    const Tap last[] = {{0, 0.030112}, {0, -0.133275}, {1, 0.892771},
                        {1, 0.271011}, {1, -0.067997}, {1, 0.007378}};
    for (const auto& list : t) {
        ASSERT_EQ(list.size(), 6u);
        double sum = 0;
        for (const Tap& tap : list)
            sum += tap.weight;
        EXPECT_NEAR(sum, 1.0, 1e-12);
    }
    for (int k = 0; k < 6; ++k) {
        EXPECT_EQ(t[0][k].index, first[k].index);
        EXPECT_NEAR(t[0][k].weight, first[k].weight, 5e-7);
        EXPECT_EQ(t[3][k].index, last[k].index);
        EXPECT_NEAR(t[3][k].weight, last[k].weight, 5e-7);
    }
}

TEST(Taps, CountsAndIndexRange) {
    struct Case {
        std::int32_t dst, fewer, more;
    };
    for (const Case c :
         {Case{160, 47, 48}, Case{320, 23, 24}, Case{640, 11, 12}, Case{960, 7, 8}, Case{1200, 6, 7}}) {
        const auto t = taps(1254, c.dst);
        ASSERT_EQ(t.size(), static_cast<std::size_t>(c.dst));
        int more = 0;
        for (const auto& list : t) {
            EXPECT_TRUE(list.size() == static_cast<std::size_t>(c.fewer) ||
                        list.size() == static_cast<std::size_t>(c.more));
            more += list.size() == static_cast<std::size_t>(c.more);
            for (const Tap& tap : list) {
                EXPECT_GE(tap.index, 0);
                EXPECT_LE(tap.index, 1253);
            }
        }
        if (c.dst == 160) {
            EXPECT_EQ(more, 4);
        }
    }
    EXPECT_TRUE(taps(5, 0).empty());
    // No source sample: the lists are empty rather than pointing outside it.
    const auto none = taps(0, 3);
    ASSERT_EQ(none.size(), 3u);
    for (const auto& list : none)
        EXPECT_TRUE(list.empty());
    EXPECT_THROW(taps(5, -1), std::length_error);
}

// ---- resample ----

TEST(Resample, SameSizeIsACopyAndZeroIsEmpty) {
    const Image source = randomImage(37, 37, 1);
    EXPECT_EQ(resample(source, 37).pixels, source.pixels);
    EXPECT_EQ(resampleFast(source, 37).pixels, source.pixels);
    for (const Image& r : {resample(source, 0), resampleFast(source, 0)}) {
        EXPECT_EQ(r.width, 0);
        EXPECT_EQ(r.height, 0);
        EXPECT_TRUE(r.pixels.empty());
    }
    EXPECT_THROW(resample(source, -2), std::length_error);
    EXPECT_THROW(resampleFast(source, -2), std::length_error);
}

TEST(Resample, EmptyOrShortSourceGivesTransparent) {
    Image shortSource{10, 10, std::vector<Pixel>(50, Pixel{9, 9, 9, 9})};
    for (const Image& source : {Image{}, shortSource}) {
        for (const Image& r : {resample(source, 7), resampleFast(source, 7)}) {
            EXPECT_EQ(r.width, 7);
            EXPECT_EQ(r.height, 7);
            EXPECT_EQ(r.pixels, std::vector<Pixel>(49));
        }
    }
}

TEST(Resample, SingleColourAndTransparentStayExact) {
    bothKernels([] {
        for (const Pixel colour :
             {Pixel{255, 255, 255, 255}, Pixel{12, 200, 77, 255}, Pixel{0, 0, 0, 255}, Pixel{}}) {
            const Image source = solid(61, colour);
            for (std::int32_t size : {1, 7, 30, 60, 62, 160, 301}) {
                EXPECT_EQ(resample(source, size).pixels, solid(size, colour).pixels) << size;
                EXPECT_EQ(resampleFast(source, size).pixels, solid(size, colour).pixels) << size;
            }
        }
    });
}

TEST(Resample, RingingOnHardEdgeIsClamped) {
    // Opaque white left half, transparent right half; and a thin bright line.
    Image edge{40, 40, {}};
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            edge.pixels.push_back(x < 20 ? Pixel{255, 255, 255, 255} : Pixel{});
    Image line{40, 40, std::vector<Pixel>(1600, Pixel{10, 10, 10, 10})};
    for (int y = 0; y < 40; ++y)
        line.pixels[y * 40 + 20] = Pixel{255, 255, 255, 255};
    bool rang = false;
    for (const Image& source : {edge, line})
        for (std::int32_t size : {13, 29, 41, 97}) {
            const Image r = resample(source, size);
            for (const Pixel p : r.pixels) {
                EXPECT_LE(p.r, p.a);
                EXPECT_LE(p.g, p.a);
                EXPECT_LE(p.b, p.a);
                rang |= p.a > 10 && p.a < 255 && p.r == p.a; // colour clamped down to alpha
            }
            EXPECT_EQ(r.pixels, referenceResample(source, size).pixels) << size;
        }
    EXPECT_TRUE(rang);
}

TEST(Resample, MatchesReferenceOnRandomImages) {
    const Image square = randomImage(211, 211, 7);
    const Image wide = randomImage(257, 93, 8);
    const Image tall = randomImage(45, 731, 10); // many rows per output row, few columns
    bothKernels([&] {
        for (std::int32_t size : {1, 2, 3, 5, 64, 101, 160, 163, 210, 212, 333, 500}) {
            EXPECT_EQ(resample(square, size).pixels, referenceResample(square, size).pixels) << size;
            EXPECT_EQ(resample(wide, size).pixels, referenceResample(wide, size).pixels) << size;
            EXPECT_EQ(resample(tall, size).pixels, referenceResample(tall, size).pixels) << size;
        }
    });
}

TEST(Resample, MatchesReferenceFromArtworkSize) {
    const Image source = randomImage(1254, 1254, 11);
    for (std::int32_t size : {160, 641, 1200})
        EXPECT_EQ(resample(source, size).pixels, referenceResample(source, size).pixels) << size;
    detail::limitKernels(1);
    for (std::int32_t size : {163, 1199})
        EXPECT_EQ(resample(source, size).pixels, referenceResample(source, size).pixels) << size;
    detail::limitKernels(0);
    EXPECT_EQ(resample(source, 317).pixels, referenceResample(source, 317).pixels);
    detail::limitKernels(2);
}

// Every frame size: the whole intermediate is checked through four full rows and
// four full columns of each result (every column tap list and a spread of row
// tap lists), against the reference.
TEST(Resample, MatchesReferenceAtEveryFrameSize) {
    const Image source = randomImage(97, 83, 13);
    std::mt19937 rng(5);
    int mismatches = 0;
    for (std::int32_t size = 160; size <= 1200; ++size) {
        detail::limitKernels(size % 3);
        const Image r = resample(source, size);
        const Middle m = referenceHorizontal(source, size);
        const auto rows = taps(source.height, size);
        const std::int32_t picks[] = {0, size - 1, size / 2, static_cast<std::int32_t>(rng() % size)};
        for (std::int32_t k : picks)
            for (std::int32_t n = 0; n < size; ++n) {
                mismatches +=
                    r.pixels[static_cast<std::size_t>(k) * size + n] != referencePixel(m, rows[k], n);
                mismatches +=
                    r.pixels[static_cast<std::size_t>(n) * size + k] != referencePixel(m, rows[n], k);
            }
    }
    detail::limitKernels(2);
    EXPECT_EQ(mismatches, 0);
}

// ---- resampleFast ----

TEST(ResampleFast, ExactHalfIsTheRoundedMeanOfEachBlock) {
    const Image source = randomImage(64, 64, 3);
    const Image r = resampleFast(source, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            auto at = [&](int dx, int dy) { return source.pixels[(2 * y + dy) * 64 + 2 * x + dx]; };
            auto mean = [](int a, int b, int c, int d) { return (a + b + c + d + 2) / 4; }; // halves up
            const Pixel p = r.pixels[y * 32 + x];
            const Pixel a = at(0, 0), b = at(1, 0), c = at(0, 1), d = at(1, 1);
            EXPECT_EQ(p, (Pixel{static_cast<std::uint8_t>(mean(a.r, b.r, c.r, d.r)),
                                static_cast<std::uint8_t>(mean(a.g, b.g, c.g, d.g)),
                                static_cast<std::uint8_t>(mean(a.b, b.b, c.b, d.b)),
                                static_cast<std::uint8_t>(mean(a.a, b.a, c.a, d.a))}));
        }
    // Blocks averaging 1.25, 1.75, 1.5 and 0.25: down, up, half up, down.
    auto grey = [](std::uint8_t v) { return Pixel{v, v, v, v}; };
    const std::uint8_t values[16] = {1, 1, 1, 2, 1, 2, 2, 2, 1, 1, 0, 0, 2, 2, 0, 1};
    Image blocks{4, 4, {}};
    for (std::uint8_t v : values)
        blocks.pixels.push_back(grey(v));
    EXPECT_EQ(resampleFast(blocks, 2).pixels, (std::vector<Pixel>{grey(1), grey(2), grey(2), grey(0)}));
}

TEST(ResampleFast, KeepsPremultiplied) {
    const Image source = randomImage(301, 301, 21);
    for (std::int32_t size : {17, 160, 299, 640}) {
        for (const Pixel p : resampleFast(source, size).pixels) {
            EXPECT_LE(p.r, p.a);
            EXPECT_LE(p.g, p.a);
            EXPECT_LE(p.b, p.a);
        }
    }
}

// Every frame size from the artwork size, whole rows and columns; whole images at
// a few sizes, from other shapes, and with both kernels.
TEST(ResampleFast, MatchesReferenceAtEveryFrameSize) {
    const Image artwork = randomImage(1254, 1254, 17);
    std::mt19937 rng(9);
    int mismatches = 0;
    for (std::int32_t size = 160; size <= 1200; ++size) {
        detail::useBaselineKernels(size % 2 == 1);
        const Image r = resampleFast(artwork, size);
        const std::int32_t picks[] = {0, size - 1, size / 2, static_cast<std::int32_t>(rng() % size)};
        for (std::int32_t k : picks)
            for (std::int32_t n = 0; n < size; ++n) {
                mismatches += r.pixels[static_cast<std::size_t>(k) * size + n] !=
                              referenceFastPixel(artwork, size, n, k);
                mismatches += r.pixels[static_cast<std::size_t>(n) * size + k] !=
                              referenceFastPixel(artwork, size, k, n);
            }
    }
    detail::useBaselineKernels(false);
    EXPECT_EQ(mismatches, 0);

    const Image odd = randomImage(77, 45, 19);
    bothKernels([&] {
        for (const Image* source : {&artwork, &odd})
            for (std::int32_t size : {1, 2, 3, 31, 160, 161, 555, 1200}) {
                const Image r = resampleFast(*source, size);
                int wrong = 0;
                for (std::int32_t j = 0; j < size; ++j)
                    for (std::int32_t i = 0; i < size; ++i)
                        wrong += r.pixels[static_cast<std::size_t>(j) * size + i] !=
                                 referenceFastPixel(*source, size, i, j);
                EXPECT_EQ(wrong, 0) << size;
            }
    });
}

// Mostly clear layers: blobs, lone pixels at the edges and clear rows, so that
// outputs next to, between and outside the visible stretches of a row are checked.
TEST(ResampleFast, MatchesReferenceOnMostlyClearImages) {
    std::vector<Image> sources;
    for (const auto& [w, h, seed] :
         {std::array<int, 3>{301, 301, 3}, {77, 45, 5}, {45, 77, 6}, {1254, 40, 7}}) {
        Image image = randomImage(w, h, static_cast<unsigned>(seed));
        std::mt19937 rng(static_cast<unsigned>(seed) + 100);
        for (std::int32_t y = 0; y < h; ++y)
            for (std::int32_t x = 0; x < w; ++x) {
                const bool blob = (x / 9 + y / 7) % 5 == 0 && rng() % 4 != 0;
                const bool lone = (x == 0 || x == w - 1 || x == w / 3) && y % 3 == 0;
                if (!blob && !lone) image.pixels[static_cast<std::size_t>(y) * w + x] = Pixel{};
            }
        for (std::int32_t y = h / 2; y < h / 2 + 3; ++y)
            for (std::int32_t x = 0; x < w; ++x)
                image.pixels[static_cast<std::size_t>(y) * w + x] = Pixel{};
        // One pixel with only a colour byte set still counts as visible.
        image.pixels[static_cast<std::size_t>(h / 4) * w + w / 2] = Pixel{0, 0, 1, 0};
        sources.push_back(std::move(image));
    }
    Image clear{50, 50, std::vector<Pixel>(2500)};
    sources.push_back(clear);
    bothKernels([&] {
        for (const Image& source : sources)
            for (std::int32_t size : {1, 2, 3, 30, 31, 160, 161, 555, 1200}) {
                const Image r = resampleFast(source, size);
                int wrong = 0;
                for (std::int32_t j = 0; j < size; ++j)
                    for (std::int32_t i = 0; i < size; ++i)
                        wrong += r.pixels[static_cast<std::size_t>(j) * size + i] !=
                                 referenceFastPixel(source, size, i, j);
                EXPECT_EQ(wrong, 0) << source.width << "x" << source.height << " to " << size;
            }
    });
}

// Into storage left by other sizes, from an opaque and a mostly clear source:
// every pixel is rewritten, zeros included, so nothing stale shows through.
TEST(ResampleFast, IntoReusedStorageGivesTheSamePixels) {
    Image clearRim = randomImage(211, 190, 31);
    for (std::int32_t y = 0; y < 190; ++y)
        for (std::int32_t x = 0; x < 211; ++x)
            if (y < 40 || y > 150 || x < 30 + y / 4 || x > 180 - y / 8)
                clearRim.pixels[static_cast<std::size_t>(y) * 211 + x] = Pixel{};
    const Image opaque = solid(120, Pixel{10, 20, 30, 255});
    const Image* sources[] = {&clearRim, &opaque};
    bothKernels([&] {
        for (const Image* source : sources) {
            Image out = solid(300, Pixel{9, 9, 9, 9}); // stale pixels everywhere
            for (std::int32_t size : {250, 300, 97, 1, 160, 320, 120}) {
                resampleFastInto(*source, size, out);
                const Image expected = resampleFast(*source, size);
                EXPECT_EQ(out.width, size);
                EXPECT_EQ(out.height, size);
                EXPECT_EQ(out.pixels, expected.pixels) << source->width << " to " << size;
            }
        }
    });
    // Storage with room is kept, even across sizes.
    Image out = solid(20, Pixel{9, 9, 9, 9});
    const Pixel* storage = out.pixels.data();
    for (std::int32_t size : {17, 20, 3}) {
        resampleFastInto(clearRim, size, out);
        EXPECT_EQ(out.pixels.data(), storage);
    }
    // An unusable source gives a clear image over old pixels; size 0 an empty one.
    resampleFastInto(Image{5, 5, {}}, 10, out);
    EXPECT_EQ(out.pixels, solid(10, Pixel{}).pixels);
    resampleFastInto(opaque, 0, out);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(out.pixels.size(), 0u);
}

} // namespace
} // namespace velmor

// Synthetic images for the renderer's tests and benchmarks: the same bytes on
// every run and every platform (the generators are fixed by the standard), and
// every pixel premultiplied.
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "renderer/image.h"

namespace velmor::test {

// size x size pixels of one value.
inline Image solid(std::int32_t size, Pixel p) {
    return Image{size, size, std::vector<Pixel>(static_cast<std::size_t>(size) * size, p)};
}

// size x size transparent pixels.
inline Image blank(std::int32_t size) {
    return solid(size, Pixel{});
}

// Random pixels with transparent and opaque ones among them (an eighth each),
// hard edges everywhere.
inline Image randomImage(std::int32_t width, std::int32_t height, unsigned seed) {
    std::mt19937 rng(seed);
    Image image{width, height, {}};
    image.pixels.reserve(static_cast<std::size_t>(width) * height);
    for (std::int32_t k = 0; k < width * height; ++k) {
        const unsigned kind = rng() % 8;
        const auto a = static_cast<std::uint8_t>(kind == 0 ? 0 : (kind == 1 ? 255 : rng() % 256));
        auto colour = [&] { return static_cast<std::uint8_t>(a == 0 ? 0 : rng() % (a + 1u)); };
        const auto r = colour(), g = colour(), b = colour();
        image.pixels.push_back(Pixel{r, g, b, a});
    }
    return image;
}

// A crystal-like layer: two thirds of the pixels clear, the rest faint and
// nearly grey (alpha below 79, green and blue at alpha, red anywhere up to it).
inline Image randomCrystal(std::int32_t size, unsigned seed) {
    std::mt19937 rng(seed);
    Image image{size, size, {}};
    for (std::int32_t k = 0; k < size * size; ++k) {
        const auto a = static_cast<std::uint8_t>(rng() % 3 == 0 ? rng() % 79 : 0);
        image.pixels.push_back(Pixel{static_cast<std::uint8_t>(a ? rng() % (a + 1u) : 0), a, a, a});
    }
    return image;
}

// Noise with structure: brass of many shades (and some not brass, some
// translucent unless `opaque`), so every colour path of the rasteriser is taken.
inline Image speckled(int size, std::uint64_t seed, bool opaque) {
    std::mt19937_64 rng(seed);
    Image image = blank(size);
    for (Pixel& p : image.pixels) {
        const int kind = static_cast<int>(rng() % 10);
        const auto a = static_cast<std::uint8_t>(opaque || kind < 8 ? 255 : 1 + rng() % 255);
        const int g = 60 + static_cast<int>(rng() % 120);
        const int r = kind < 6 ? std::min(255, g * 107 / 100 + static_cast<int>(rng() % 60))
                               : static_cast<int>(rng() % 256);
        const int b = kind < 6 ? g * 90 / 100 - static_cast<int>(rng() % 40) : static_cast<int>(rng() % 256);
        p = Pixel{static_cast<std::uint8_t>(r * a / 255), static_cast<std::uint8_t>(g * a / 255),
                  static_cast<std::uint8_t>(std::max(0, b) * a / 255), a};
    }
    return image;
}

// True when no colour byte of the image exceeds its alpha.
inline bool premultiplied(const Image& image) {
    return std::all_of(image.pixels.begin(), image.pixels.end(),
                       [](const Pixel& p) { return p.r <= p.a && p.g <= p.a && p.b <= p.a; });
}

} // namespace velmor::test

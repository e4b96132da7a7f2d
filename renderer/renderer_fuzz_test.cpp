// Hostile input for the renderer, meant for the sanitizer build: sizes from
// INT_MIN to INT_MAX and every size 1..1300, times far outside a day, every
// option combination, reflection strengths outside 0.5..1.5 (NaN and the
// infinities among them) and artwork of odd and tiny sizes. Each frame must
// have the clamped size and premultiplied pixels, and the same input must give
// the same frame; reading out of bounds is the sanitizers' to catch. Seeded:
// VELMOR_FUZZ_SEED picks another sequence, VELMOR_FUZZ_ROUNDS sets how many
// random frames (CI runs a few hundred), VELMOR_FUZZ_ALL_SIZES=1 adds every
// size 1..1300 with each artwork.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "renderer/renderer.h"
#include "renderer/test_images.h"

namespace velmor {
namespace {

constexpr std::int32_t INT_LOW = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t INT_HIGH = std::numeric_limits<std::int32_t>::max();
constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();
constexpr double INFINITE = std::numeric_limits<double>::infinity();
constexpr unsigned DEFAULT_ROUNDS = 300;
constexpr std::int32_t LARGEST_TRIED = 1300;

unsigned FromEnvironment(const char* name, unsigned fallback) {
    const char* text = std::getenv(name);
    return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

// Three artworks of one shape: face, reference and crystal.
struct Artwork {
    const char* name;
    std::int32_t faceWidth, faceHeight, referenceWidth, referenceHeight, crystalWidth, crystalHeight;
};
constexpr Artwork ARTWORKS[] = {
    {"1 x 1 each", 1, 1, 1, 1, 1, 1},
    {"3 x 1254 face, 1254 x 3 reference", 3, 1254, 1254, 3, 2, 2},
    {"1254 x 3 face, 3 x 1254 crystal", 1254, 3, 5, 7, 3, 1254},
    {"odd, not square", 37, 23, 23, 37, 17, 29},
    {"64 square", 64, 64, 64, 64, 64, 64},
};

Renderer MakeRenderer(const Artwork& art, unsigned seed) {
    return Renderer{test::randomImage(art.faceWidth, art.faceHeight, seed),
                    test::randomImage(art.referenceWidth, art.referenceHeight, seed + 1),
                    test::randomImage(art.crystalWidth, art.crystalHeight, seed + 2)};
}

std::int32_t Clamped(std::int32_t size) {
    return size > largestFrame ? largestFrame : (size < smallestFrame ? smallestFrame : size);
}

// The frame's size and premultiplication; the first fault found, or "".
std::string FrameFault(const Image& frame, std::int32_t size) {
    const std::int32_t edge = Clamped(size);
    if (frame.width != edge || frame.height != edge) return "size " + std::to_string(frame.width);
    if (frame.pixels.size() != static_cast<std::size_t>(edge) * edge) return "pixel count";
    for (const Pixel& p : frame.pixels)
        if (p.r > p.a || p.g > p.a || p.b > p.a) return "a pixel not premultiplied";
    return "";
}

// Values a caller should never pass, and the ordinary ones beside them.
struct Hostile {
    std::mt19937 rng;
    template <typename T> T pick(std::initializer_list<T> values) {
        return *(values.begin() + rng() % values.size());
    }
    std::int32_t size() {
        if (rng() % 3 == 0)
            return pick<std::int32_t>({0, -1, -160, INT_LOW, INT_HIGH, 159, 160, 1200, 1201, 5000});
        return static_cast<std::int32_t>(1 + rng() % LARGEST_TRIED);
    }
    std::int32_t field(std::int32_t ordinary) {
        if (rng() % 4 == 0) return pick<std::int32_t>({INT_LOW, INT_HIGH, -1, -999, 1000, 86400, 123456789});
        return static_cast<std::int32_t>(rng() % ordinary);
    }
    Time time() { return Time{field(24), field(60), field(60), field(1000)}; }
    Options options() {
        const unsigned bits = rng();
        const double reflection =
            pick<double>({NOT_A_NUMBER, INFINITE, -INFINITE, -1.0, 0.0, 0.2, 0.49, 0.5, 1.0, 1.5, 1.51, 3.0,
                          1e308, std::numeric_limits<double>::denorm_min()});
        return Options{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0, reflection};
    }
};

TEST(RendererFuzz, HostileSizesTimesOptionsAndArtworkGiveWholePremultipliedFrames) {
    const unsigned seed = FromEnvironment("VELMOR_FUZZ_SEED", 20261208);
    const unsigned rounds = FromEnvironment("VELMOR_FUZZ_ROUNDS", DEFAULT_ROUNDS);
    Hostile hostile{std::mt19937(seed)};
    std::vector<Renderer> renderers;
    for (const Artwork& art : ARTWORKS)
        renderers.push_back(MakeRenderer(art, seed));
    // One kept frame per renderer: renderOver trusts that nothing else wrote
    // into the image it drew last, as the program's one renderer may.
    std::vector<Image> frames(renderers.size());
    Image again;
    for (unsigned round = 0; round < rounds; ++round) {
        const std::size_t which = hostile.rng() % renderers.size();
        const std::int32_t size = hostile.size();
        const Time time = hostile.time();
        const Options options = hostile.options();
        const bool fast = hostile.rng() % 2 == 0;
        const bool over = hostile.rng() % 2 == 0; // renderOver shares most of the path
        Renderer& renderer = renderers[which];
        Image& frame = frames[which];
        if (over)
            renderer.renderOver(frame, size, time, options, fast);
        else
            renderer.renderTo(frame, size, time, options, fast);
        const std::string where = std::string(ARTWORKS[which].name) + ", size " + std::to_string(size) +
                                  ", time " + std::to_string(time.hour) + ":" + std::to_string(time.minute) +
                                  ":" + std::to_string(time.second) + "." + std::to_string(time.millisecond) +
                                  ", options " + std::to_string(options.seconds) +
                                  std::to_string(options.smooth) + std::to_string(options.shadows) +
                                  std::to_string(options.crystal) + ", reflection " +
                                  std::to_string(options.reflection) + (fast ? ", fast" : "") +
                                  (over ? ", drawn over the last" : "") + ", round " + std::to_string(round) +
                                  ", seed " + std::to_string(seed);
        ASSERT_EQ(FrameFault(frame, size), "") << where;
        renderer.renderTo(again, size, time, options, fast);
        ASSERT_EQ(again.pixels == frame.pixels, true) << "not reproducible: " << where;
    }
}

TEST(RendererFuzz, EveryOptionCombinationAtTheEdgesOfSize) {
    Renderer renderer = MakeRenderer(ARTWORKS[3], 7);
    Image frame;
    for (unsigned bits = 0; bits < 32; ++bits)
        for (std::int32_t size : {INT_LOW, -1, 0, 1, 159, 160, 1200, 1201, INT_HIGH}) {
            const Options options{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0, (bits & 8) != 0,
                                  NOT_A_NUMBER};
            renderer.renderTo(frame, size, Time{INT_HIGH, INT_LOW, INT_HIGH, INT_LOW}, options,
                              (bits & 16) != 0);
            ASSERT_EQ(FrameFault(frame, size), "") << "options " << bits << ", size " << size;
        }
}

TEST(RendererFuzz, UnusableArtworkGivesTransparentFramesWhateverTheInput) {
    Renderer renderer{test::randomImage(1, 1, 1), Image{}, test::randomImage(3, 1254, 2)};
    Hostile hostile{std::mt19937(11)};
    Image frame;
    for (int round = 0; round < 20; ++round) {
        const std::int32_t size = hostile.size();
        renderer.renderTo(frame, size, hostile.time(), hostile.options(), round % 2 == 0);
        ASSERT_EQ(FrameFault(frame, size), "") << "size " << size;
        for (const Pixel& p : frame.pixels)
            ASSERT_EQ(p.a, 0) << "size " << size;
    }
}

// The long run's sweep (VELMOR_FUZZ_ALL_SIZES=1): every size with every artwork.
TEST(RendererFuzz, EverySizeWithEveryArtwork) {
    if (FromEnvironment("VELMOR_FUZZ_ALL_SIZES", 0) == 0)
        GTEST_SKIP() << "set VELMOR_FUZZ_ALL_SIZES=1 for this sweep";
    Hostile hostile{std::mt19937(FromEnvironment("VELMOR_FUZZ_SEED", 20261208))};
    Image frame;
    for (const Artwork& art : ARTWORKS) {
        Renderer renderer = MakeRenderer(art, 5);
        for (std::int32_t size = 1; size <= LARGEST_TRIED; ++size) {
            renderer.renderTo(frame, size, hostile.time(), hostile.options(), size % 2 == 0);
            ASSERT_EQ(FrameFault(frame, size), "") << art.name << ", size " << size;
        }
    }
}

} // namespace
} // namespace velmor

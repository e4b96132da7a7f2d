#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "renderer/reach.h"
#include "renderer/renderer.h"
#include "renderer/test_images.h"

namespace velmor {
namespace {

using test::solid;

// The pixels a drawing call changed on a light opaque frame must all lie in the
// reach; returns how many changed, so callers can see the check had something
// to look at. `outside` counts changed pixels the reach misses.
struct Diff {
    long changed = 0;
    long outside = 0;
    long reached = 0;
};
Diff compare(const Image& before, const Image& after, const std::vector<RowReach>& rows) {
    Diff d;
    for (std::int32_t i = 0; i < before.height; ++i) {
        const RowReach r = rows[static_cast<std::size_t>(i)];
        if (r.first <= r.last) d.reached += r.last - r.first + 1;
        for (std::int32_t j = 0; j < before.width; ++j) {
            const std::size_t k = static_cast<std::size_t>(i) * before.width + j;
            if (before.pixels[k] == after.pixels[k]) continue;
            ++d.changed;
            d.outside += j < r.first || j > r.last;
        }
    }
    return d;
}

class Reach : public ::testing::Test {
  protected:
    // A brass reference, so hand and hub pixels differ from the light frame.
    Renderer renderer{solid(200, Pixel{}), solid(200, Pixel{200, 150, 70, 255}), solid(200, Pixel{})};
};

// Every hand and shadow at angles all round, the axes exactly and just off
// them, at the smallest, odd and largest frame sizes: a drawing never changes a
// pixel outside its reach, and the reach is a thin band, not the whole frame.
TEST_F(Reach, HoldsEveryPixelAHandOrShadowChanges) {
    std::vector<double> angles = {0, 90, 180, 270, 360, 1e-9, 90 - 1e-9, 45, 135, 225, 315, -30, 725.5};
    for (double a = 3.7; a < 360; a += 17.9)
        angles.push_back(a);
    long total = 0;
    for (std::int32_t size : {160, 237, 640, 1200}) {
        const Image base = solid(size, Pixel{230, 230, 230, 255});
        for (std::int32_t hand = 0; hand < 3; ++hand)
            for (bool shadow : {false, true})
                for (double angle : angles) {
                    Image frame = base;
                    renderer.polygon(frame, hand, angle, shadow);
                    std::vector<RowReach> rows;
                    noReach(rows, size);
                    reachHand(rows, size, hand, angle, shadow);
                    const Diff d = compare(base, frame, rows);
                    EXPECT_EQ(d.outside, 0)
                        << size << " hand " << hand << (shadow ? " shadow " : " ") << angle;
                    EXPECT_GT(d.changed, 0);
                    EXPECT_LT(d.reached, static_cast<long>(size) * size / 4);
                    total += d.changed;
                }
    }
    EXPECT_GT(total, 1000000);
}

// Discs of both kinds at random centres and sizes, some partly off the frame.
TEST_F(Reach, HoldsEveryPixelADiscChanges) {
    std::mt19937 rng(12);
    std::uniform_real_distribution<double> place(-30, 1030), size(1, 60);
    for (std::int32_t width : {160, 333, 1200}) {
        const Image base = solid(width, Pixel{230, 230, 230, 255});
        for (int k = 0; k < 60; ++k) {
            const double cx = k == 0 ? 500 : place(rng), cy = k == 0 ? 492 : place(rng),
                         r = k == 0 ? 28 : size(rng);
            Image frame = base;
            renderer.circle(frame, cx, cy, r, k % 2 == 0);
            std::vector<RowReach> rows;
            noReach(rows, width);
            reachDisc(rows, width, cx, cy, r);
            const Diff d = compare(base, frame, rows);
            EXPECT_EQ(d.outside, 0) << width << " at " << cx << "," << cy << " r " << r;
            if (k == 0) {
                EXPECT_GT(d.changed, 0);
            }
        }
    }
}

// Reaches unite per row, and nothing reaches past the frame.
TEST_F(Reach, UnitesAndStaysInTheFrame) {
    std::vector<RowReach> rows;
    noReach(rows, 300);
    reachDisc(rows, 300, 100, 500, 10);
    reachDisc(rows, 300, 900, 500, 10);
    const RowReach middle = rows[150];
    EXPECT_LT(middle.first, 30);
    EXPECT_GT(middle.last, 270);
    EXPECT_GT(rows[0].first, rows[0].last); // untouched row
    reachHand(rows, 300, 1, 90, true);
    reachDisc(rows, 300, -5, -5, 40);
    reachDisc(rows, 300, 1005, 1005, 40);
    for (const RowReach& r : rows)
        if (r.first <= r.last) {
            EXPECT_GE(r.first, 0);
            EXPECT_LT(r.last, 300);
        }
    EXPECT_LE(rows[0].first, rows[0].last);
    EXPECT_EQ(rows[299].last, 299);
}

} // namespace
} // namespace velmor

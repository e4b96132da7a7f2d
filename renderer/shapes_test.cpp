#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "renderer/compositing.h"
#include "renderer/hand_bounds.h"
#include "renderer/renderer.h"
#include "renderer/test_images.h"

namespace velmor {
namespace {

using test::blank;
using test::premultiplied;
using test::speckled;

constexpr double pi = 3.141592653589793;

Pixel at(const Image& image, int x, int y) {
    return image.pixels[static_cast<std::size_t>(y) * image.width + x];
}

// Hand-frame coordinates of pixel (j, i)'s centre for a hand at `angle` about (px, py).
void handFrame(const Image& image, int j, int i, double angle, double px, double py, double& x, double& y) {
    const double scale = image.width / 1000.0, t = angle * pi / 180;
    const double X = (j + 0.5) / scale - px, Y = (i + 0.5) / scale - py;
    x = std::cos(t) * X + std::sin(t) * Y;
    y = -std::sin(t) * X + std::cos(t) * Y;
}

const Pixel brass{200, 150, 80, 255};
const Pixel grey{90, 90, 90, 255};
const Pixel hub{40, 200, 120, 255}; // deliberately not brass: the cap copies whatever is there

// A reference picture: grey ground, the hour hand at 305 and the minute hand at
// 60 degrees painted brass within `brassShare` of their half-width about their
// shifted centre lines, and a hub whose colour changes across it.
Image reference(int size, double brassShare) {
    const Renderer probe{Image{}, Image{}, Image{}};
    Image image = blank(size);
    for (int i = 0; i < size; ++i) {
        for (int j = 0; j < size; ++j) {
            Pixel p = grey;
            const double X = (j + 0.5) * 1000.0 / size - 500, Y = (i + 0.5) * 1000.0 / size - 492;
            if (std::hypot(X, Y) < 30) {
                p = Pixel{static_cast<std::uint8_t>(40 + (j * 100) / size), hub.g, hub.b, 255};
            } else {
                for (int hand : {0, 1}) {
                    double x, y;
                    const double t = (hand == 0 ? 305 : 60) * pi / 180;
                    x = std::cos(t) * X + std::sin(t) * Y;
                    y = -std::sin(t) * X + std::cos(t) * Y;
                    const Renderer::LeafSection s = probe.leaf(hand, -y);
                    if (y <= 0 && std::fabs(x - s.shift) <= brassShare * s.halfWidth) p = brass;
                }
            }
            image.pixels[static_cast<std::size_t>(i) * size + j] = p;
        }
    }
    return image;
}

Renderer withReference(Image ref) {
    return Renderer{Image{}, std::move(ref), Image{}};
}

TEST(Circle, EdgeAtAPixelCentreIsHalfCoveredAndTheShadeRunsLightToDark) {
    const Renderer r = withReference(Image{});
    Image image = blank(1000);
    r.circle(image, 500.5, 500.5, 10, false);
    EXPECT_EQ(at(image, 510, 500).a, 128); // centre (510.5, 500.5) lies on the edge
    EXPECT_EQ(at(image, 500, 500).a, 255);
    EXPECT_EQ(at(image, 512, 500).a, 0);
    // Upper left lighter than lower right; the centre is the middle shade.
    EXPECT_GT(at(image, 494, 494).r, at(image, 506, 506).r);
    EXPECT_EQ(at(image, 500, 500), (Pixel{173, 135, 83, 255})); // t = 0.5 at the centre
    EXPECT_TRUE(premultiplied(image));
}

TEST(Circle, ClipsAndDrawsNothingOutside) {
    const Renderer r = withReference(reference(200, 0.7));
    Image image = blank(100);
    r.circle(image, -100, -100, 28, true);
    r.circle(image, 5000, 500, 28, false);
    for (const Pixel& p : image.pixels)
        ASSERT_EQ(p, Pixel{});
    r.circle(image, 0, 0, 28, false); // partly inside
    EXPECT_EQ(at(image, 0, 0).a, 255);
    EXPECT_EQ(at(image, 99, 99).a, 0);
}

TEST(Circle, TexturedDiscCopiesTheReferenceHubWhateverItsCentre) {
    const Image ref = reference(1000, 0.7);
    const Renderer r = withReference(ref);
    Image a = blank(1000), b = blank(1000);
    r.circle(a, 500, 492, 28, true);
    r.circle(b, 250, 300, 28, true);
    // Same offsets from the two centres carry the same colours.
    for (int dy = -25; dy <= 25; dy += 5)
        for (int dx = -25; dx <= 25; dx += 5)
            ASSERT_EQ(at(a, 500 + dx, 492 + dy), at(b, 250 + dx, 300 + dy));
    // Inside, the disc is the reference itself.
    for (int dx = -20; dx <= 20; dx += 4)
        EXPECT_EQ(at(a, 500 + dx, 492), at(ref, 500 + dx, 492));
}

TEST(Polygon, EdgeBehindThePivotIsHalfCoveredAndNothingLiesBehindIt) {
    // At 125 pixels pixel (62, 61) is centred exactly on the pivot: the square
    // base of the blade passes through it.
    const Renderer r = withReference(reference(400, 0.7));
    for (double angle : {0.0, 180.0}) {
        Image image = blank(125);
        r.polygon(image, 0, angle, false);
        EXPECT_EQ(at(image, 62, 61).a, 128) << angle;
    }
    for (int hand : {0, 1}) {
        for (double angle = 3; angle < 360; angle += 29) {
            Image image = blank(400);
            r.polygon(image, hand, angle, false);
            int painted = 0;
            for (int i = 0; i < 400; ++i)
                for (int j = 0; j < 400; ++j) {
                    if (at(image, j, i).a == 0) continue;
                    ++painted;
                    double x, y;
                    handFrame(image, j, i, angle, 500, 492, x, y);
                    ASSERT_LT(y, 0.5 / 0.4) << hand << " " << angle; // at most the half-pixel fade
                }
            EXPECT_GT(painted, hand == 0 ? 1000 : 700);
        }
    }
}

TEST(Polygon, ShadowIsFullFromThreeAndAHalfUnitsInsideAndGoneAsFarOutside) {
    const Renderer r = withReference(Image{});
    Image image = blank(1000);
    r.polygon(image, 0, 0, true);          // shadow pivot (508, 503); at x = 0.5 across the blade
    EXPECT_EQ(at(image, 508, 499).a, 163); // y = -3.5: 0.64 of 255
    EXPECT_EQ(at(image, 508, 506).a, 0);   // y = +3.5 behind the pivot: gone
    EXPECT_GT(at(image, 508, 502).a, at(image, 508, 504).a);
    EXPECT_GT(at(image, 508, 504).a, 0);
    EXPECT_EQ(at(image, 508, 499).r, 0);
    Image half = blank(500); // pixel (254, 251) centred at (509, 503): on the outline
    r.polygon(half, 0, 0, true);
    EXPECT_EQ(at(half, 254, 251).a, 82); // half of 0.64 of 255
    Image thin = blank(1000);
    r.polygon(thin, 2, 0, true);
    EXPECT_EQ(at(thin, 508, 250).a, saturate(255 * 0.42 * (0.5 + 0.9 / 7))); // x = 0.5: 0.9 inside
}

// Every angle, axis-aligned or not: pixels a pixel inside the hand are fully
// covered and pixels a pixel and a half outside untouched, whatever the row's band.
TEST(Polygon, FillsTheWholeHandAtAnyAngle) {
    const Renderer r = withReference(reference(300, 0.7));
    const int size = 300;
    const double scale = size / 1000.0, pixel = 1 / scale;
    for (int hand : {0, 1, 2}) {
        for (double angle = 0; angle < 360; angle += 22.5) {
            Image image = blank(size);
            r.polygon(image, hand, angle, false);
            for (int i = 0; i < size; ++i)
                for (int j = 0; j < size; ++j) {
                    double x, y;
                    handFrame(image, j, i, angle, 500, 492, x, y);
                    double half, tip, tail;
                    if (hand == 2) {
                        half = 1.4, tip = -390, tail = 65;
                    } else {
                        half = r.leaf(hand, -y).halfWidth, tip = hand == 0 ? -257 : -346, tail = 0;
                    }
                    const Pixel p = at(image, j, i);
                    // Steep flanks near the tip: keep a margin of a pixel plus the flank's tilt.
                    if (std::fabs(x) < half - 1.5 * pixel && y > tip + 3 * pixel && y < tail - pixel) {
                        ASSERT_EQ(p.a, 255) << hand << " " << angle << " " << j << "," << i;
                    }
                    if (std::fabs(x) > (hand == 2 ? 1.4 : 25) + pixel || y < tip - pixel ||
                        y > tail + pixel) {
                        ASSERT_EQ(p.a, 0) << hand << " " << angle << " " << j << "," << i;
                    }
                }
        }
    }
}

TEST(Polygon, AxisAlignedAnglesDrawTheSameHandAsTheirNeighbours) {
    const Renderer r = withReference(reference(400, 0.7));
    for (int hand : {0, 1, 2})
        for (bool shadow : {false, true})
            for (double angle : {0.0, 90.0, 180.0, 270.0}) {
                Image exact = blank(400);
                r.polygon(exact, hand, angle, shadow);
                for (double nudge : {-1e-9, 1e-9}) {
                    Image near = blank(400);
                    r.polygon(near, hand, angle + nudge, shadow);
                    int painted = 0;
                    for (std::size_t k = 0; k < exact.pixels.size(); ++k) {
                        painted += exact.pixels[k].a != 0;
                        ASSERT_LE(std::abs(exact.pixels[k].a - near.pixels[k].a), 1)
                            << hand << " " << shadow << " " << angle << " " << nudge << " at " << k;
                    }
                    EXPECT_GT(painted, 100);
                }
            }
}

TEST(Polygon, LeafHandsTakeTheReferenceBrassFallingBackNearerTheCentreLine) {
    // Brass only within 70 % of the half-width: the outer flank's first look-up
    // lands on grey and the second one, at 45 %, on brass.
    const Renderer r = withReference(reference(1000, 0.7));
    const double angle = 130;
    for (int hand : {0, 1}) {
        Image image = blank(1000);
        r.polygon(image, hand, angle, false);
        int full = 0;
        for (std::size_t k = 0; k < image.pixels.size(); ++k) {
            const Pixel p = image.pixels[k];
            double x, y;
            handFrame(image, static_cast<int>(k % 1000), static_cast<int>(k / 1000), angle, 500, 492, x, y);
            if (p.a != 255 || y > -32) continue; // the reference hub covers the base
            ++full;
            // Brass, or a blend near the painted edge that still reads as brass.
            ASSERT_TRUE(p.r >= 1.06 * p.g && p.g >= 1.1 * p.b)
                << int(p.r) << " " << int(p.g) << " " << int(p.b);
        }
        EXPECT_GT(full, 2000);
    }
    // A reference without any brass: the second look-up is taken as it is.
    Image dull = blank(1000);
    for (Pixel& p : dull.pixels)
        p = grey;
    const Renderer g = withReference(std::move(dull));
    Image image = blank(1000);
    g.polygon(image, 0, angle, false);
    int full = 0;
    for (const Pixel& p : image.pixels)
        if (p.a == 255) {
            ++full;
            ASSERT_EQ(p, grey);
        }
    EXPECT_GT(full, 2000);
}

TEST(Polygon, SecondsHandIsShadedAcrossAndEdgesAreOnePixel) {
    const Renderer r = withReference(Image{});
    Image image = blank(1000);
    r.polygon(image, 2, 90, false); // along row 491/492 to the right
    // Pivot row 492 has centre y 492.5: x = 0.5 across the bar.
    const Pixel centre = at(image, 700, 492);
    EXPECT_NEAR(centre.r, 218 - 93 * 0.5 / 1.4, 1);
    EXPECT_NEAR(centre.g, 180 - 92 * 0.5 / 1.4, 1);
    EXPECT_NEAR(centre.b, 102 - 63 * 0.5 / 1.4, 1);
    EXPECT_EQ(at(image, 700, 491).a, 255); // x = -0.5
    EXPECT_EQ(at(image, 700, 492).a, 255);
    EXPECT_EQ(at(image, 700, 490).a, saturate(255 * (0.5 - 0.1))); // x = -1.5: 0.1 outside
    EXPECT_EQ(at(image, 700, 493).a, saturate(255 * (0.5 - 0.1)));
    EXPECT_EQ(at(image, 700, 489).a, 0);
    EXPECT_EQ(at(image, 700, 494).a, 0);
    // Tip at 890, tail at 435: centres half a unit outside are untouched.
    EXPECT_EQ(at(image, 889, 492).a, 255);
    EXPECT_EQ(at(image, 890, 492).a, 0);
    EXPECT_EQ(at(image, 435, 492).a, 255);
    EXPECT_EQ(at(image, 434, 492).a, 0);
    EXPECT_TRUE(premultiplied(image));
}

TEST(Polygon, DrawsNothingForWildInput) {
    const Renderer r = withReference(reference(100, 0.7));
    Image image = blank(200);
    r.polygon(image, 0, std::nan(""), false);
    r.polygon(image, 1, INFINITY, true);
    r.polygon(image, 3, 10, false);
    r.polygon(image, -1, 10, false);
    for (const Pixel& p : image.pixels)
        ASSERT_EQ(p, Pixel{});
    Image empty;
    r.polygon(empty, 0, 10, false);
    r.circle(empty, 500, 492, 28, true);
    EXPECT_TRUE(empty.pixels.empty());
}

// The rasteriser's rules written out plainly: every pixel of the hand's box
// worked out in full (the spline at every pixel, the general outline distance,
// the plain compositing), none of the rasteriser's shortcuts. The real one must
// give exactly these bytes.
namespace plain {

double outlineDistance(const std::vector<Point>& outline, double x, double y) {
    const std::size_t n = outline.size();
    double best = 1e20;
    bool inside = false;
    for (std::size_t k = 0; k < n; ++k) {
        const Point& a = outline[k == 0 ? n - 1 : k - 1];
        const Point& b = outline[k];
        const double ex = b.x - a.x, ey = b.y - a.y;
        double t = ((x - a.x) * ex + (y - a.y) * ey) / (ey * ey + ex * ex);
        if (t >= 1) t = 1;
        if (t <= 0) t = 0;
        const double dx = x - (a.x + t * ex), dy = y - (a.y + t * ey);
        best = std::min(best, dx * dx + dy * dy);
        if (a.y != b.y && (a.y > y) != (b.y > y) &&
            x < (a.x == b.x ? a.x : a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y)))
            inside = !inside;
    }
    const double d = std::sqrt(best);
    return inside ? -d : d;
}

void unpremultiply(Pixel p, double& r, double& g, double& b) {
    const double d = p.a >= 2 ? p.a : 1;
    r = p.r * 255.0 / d, g = p.g * 255.0 / d, b = p.b * 255.0 / d;
}

void polygon(const Renderer& renderer, Image& image, int hand, double angle, bool shadow) {
    const hands::HandBounds& hb = hands::bounds[hand];
    const double L = hb.length, T = hb.tail;
    std::vector<Point> outline;
    if (hand == 2) {
        outline = {{-1.4, -390}, {1.4, -390}, {1.4, 65}, {-1.4, 65}};
    } else {
        for (int i = 0; i <= 48; ++i)
            outline.push_back({-renderer.leaf(hand, i * L / 48).halfWidth, -(i * L / 48)});
        for (int i = 47; i >= 0; --i)
            outline.push_back({renderer.leaf(hand, i * L / 48).halfWidth, -(i * L / 48)});
    }
    const double theta = angle * pi / 180, s = std::sin(theta), c = std::cos(theta);
    const double px = shadow ? hands::shadowX : hands::pivotX, py = shadow ? hands::shadowY : hands::pivotY;
    const double scale = image.width / 1000.0, J = shadow ? 5 : 1.5 / scale;
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (const Point& p : outline) {
        minX = std::min(minX, px + p.x * c - p.y * s), maxX = std::max(maxX, px + p.x * c - p.y * s);
        minY = std::min(minY, py + p.x * s + p.y * c), maxY = std::max(maxY, py + p.x * s + p.y * c);
    }
    const int x0 = std::max(0, static_cast<int>(std::floor((minX - J) * scale)));
    const int x1 = std::min(image.width - 1, static_cast<int>(std::ceil((maxX + J) * scale)));
    const int y0 = std::max(0, static_cast<int>(std::floor((minY - J) * scale)));
    const int y1 = std::min(image.height - 1, static_cast<int>(std::ceil((maxY + J) * scale)));
    const Image& ref = renderer.referenceImage;
    for (int i = y0; i <= y1; ++i)
        for (int j = x0; j <= x1; ++j) {
            const double Xr = (j + 0.5) / scale - px, Yr = (i + 0.5) / scale - py;
            const double x = c * Xr + s * Yr, y = -s * Xr + c * Yr;
            double d, shift = 0;
            if (hand == 2) {
                d = outlineDistance(outline, x, y);
            } else {
                const Renderer::LeafSection section = renderer.leaf(hand, -y);
                d = std::max(std::max(-L - y, y), (std::fabs(x) - section.halfWidth) /
                                                      std::sqrt(section.slope * section.slope + 1));
                shift = section.shift;
            }
            Pixel& target = image.pixels[static_cast<std::size_t>(i) * image.width + j];
            if (shadow) {
                const double o = 0.5 - d / 7;
                if (o > 0)
                    detail::overPlain(target, 0, 0, 0, o >= 1 ? hb.shadowOpacity : o * hb.shadowOpacity);
                continue;
            }
            const double coverage = std::min(1.0, 0.5 - d * scale);
            if (coverage <= 0) continue;
            double r, g, b;
            if (hand == 2) {
                const double u = std::fabs(x) / 1.4;
                r = u >= 1 ? 125 : 218 - 93 * u, g = u >= 1 ? 88 : 180 - 92 * u,
                b = u >= 1 ? 39 : 102 - 63 * u;
                if (u <= 0) r = 218, g = 180, b = 102;
            } else {
                // cos and sin of the reference pose: 305 degrees for the hour hand, 60 for the minute hand.
                const double pc = hand == 0 ? 0.573576436351046 : 0.5000000000000001;
                const double ps = hand == 0 ? -0.8191520442889918 : 0.8660254037844386;
                auto look = [&](double q) {
                    return detail::samplePlain(ref, (q * pc - y * ps + 500) * ref.width / 1000,
                                               (q * ps + y * pc + 492) * ref.height / 1000);
                };
                Pixel p = look(x + shift);
                if (!(p.r >= 1.06 * p.g && p.g >= 1.1 * p.b)) p = look(0.45 * x + shift);
                unpremultiply(p, r, g, b);
            }
            detail::overPlain(target, r, g, b, coverage);
        }
    (void)T;
}

} // namespace plain

TEST(Polygon, GivesExactlyTheBytesOfThePlainRules) {
    Renderer r = withReference(speckled(317, 5, false));
    std::mt19937_64 rng(9);
    std::uniform_real_distribution<double> anyAngle(0, 360);
    int differing = 0, drawn = 0;
    for (int size : {160, 257, 421}) {
        const Image ground = speckled(size, size, size != 257);
        std::vector<double> angles{0, 90, 180, 270, 359.99999999999994, 1e-13, 45, 305, 60, 89.99999999};
        for (int k = 0; k < 8; ++k)
            angles.push_back(anyAngle(rng));
        for (double angle : angles)
            for (int hand = 0; hand < 3; ++hand)
                for (bool shadow : {true, false}) {
                    Image fast = ground, slow = ground;
                    r.polygon(fast, hand, angle, shadow);
                    plain::polygon(r, slow, hand, angle, shadow);
                    drawn += !(slow.pixels == ground.pixels);
                    if (!(fast.pixels == slow.pixels)) {
                        ++differing;
                        ADD_FAILURE() << "size " << size << " hand " << hand << " shadow " << shadow
                                      << " angle " << angle;
                    }
                }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(drawn, 3 * 18 * 6); // every case really drew something
}

TEST(Circle, GivesExactlyTheBytesOfThePlainRules) {
    Renderer r = withReference(speckled(317, 6, false));
    std::mt19937_64 rng(10);
    std::uniform_real_distribution<double> where(-20, 1020), radius(0.2, 40);
    for (int size : {160, 333}) {
        const Image ground = speckled(size, size + 1, false);
        for (int k = 0; k < 40; ++k) {
            const double cx = k == 0 ? 500 : where(rng), cy = k == 0 ? 492 : where(rng),
                         rad = k == 0 ? 28 : radius(rng);
            for (bool textured : {true, false}) {
                Image fast = ground, slow = ground;
                r.circle(fast, cx, cy, rad, textured);
                const double scale = size / 1000.0, refW = r.referenceImage.width,
                             refH = r.referenceImage.height;
                for (int i = 0; i < size; ++i)
                    for (int j = 0; j < size; ++j) {
                        const double dx = (j + 0.5) / scale - cx, dy = (i + 0.5) / scale - cy;
                        const double coverage = std::min(1.0, (rad - std::hypot(dx, dy)) * scale + 0.5);
                        if (coverage <= 0) continue;
                        double red, green, blue;
                        if (textured) {
                            plain::unpremultiply(detail::samplePlain(r.referenceImage,
                                                                     dx * refW / 1000 + refW * 0.5,
                                                                     refH * 0.492 + refH * dy / 1000),
                                                 red, green, blue);
                        } else {
                            const double t = std::clamp(0.5 - (dx + dy) / (4 * rad), 0.0, 1.0);
                            red = 105 + 135 * t, green = 65 + 140 * t, blue = 23 + 120 * t;
                        }
                        detail::overPlain(slow.pixels[static_cast<std::size_t>(i) * size + j], red, green,
                                          blue, coverage);
                    }
                EXPECT_TRUE(fast.pixels == slow.pixels)
                    << "size " << size << " at " << cx << ", " << cy << " radius " << rad;
            }
        }
    }
}

} // namespace
} // namespace velmor

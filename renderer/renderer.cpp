#include "renderer/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <utility>

#include "renderer/hand_bounds.h"
#include "renderer/reach.h"
#include "renderer/resample.h"

namespace velmor {

namespace {
// Room for `count` pixels where storage has to grow. A step of an animated
// resize (`fast`) takes twice that, up to the largest frame, so the next steps
// of a growing animation fit without taking and faulting in new pages each
// time; a settled frame takes just what it needs.
std::size_t roomFor(std::size_t count, bool fast) {
    constexpr auto largest = static_cast<std::size_t>(largestFrame) * largestFrame;
    return fast ? std::max(count, std::min(2 * count, largest)) : count;
}

// An image whose pixel vector really holds width x height pixels.
bool whole(const Image& image) {
    return !image.empty() && image.pixels.size() == static_cast<std::size_t>(image.width) *
                                                        static_cast<std::size_t>(image.height);
}
} // namespace

Angles handAngles(Time time, bool smooth) {
    const double s = smooth ? time.second + time.millisecond / 1000.0 : time.second;
    return Angles{((time.hour % 12) + time.minute / 60.0 + s / 3600) * 30, (s / 60 + time.minute) * 6, s * 6};
}

Renderer::Renderer(Image face, Image reference, Image crystal)
    : faceImage(std::move(face)), referenceImage(std::move(reference)), crystalImage(std::move(crystal)) {}

std::unique_ptr<Renderer> Renderer::make(Image face, Image reference, Image crystal) {
    if (!whole(face) || !whole(reference) || !whole(crystal)) return nullptr;
    return std::make_unique<Renderer>(std::move(face), std::move(reference), std::move(crystal));
}

bool Renderer::usable() const {
    return whole(faceImage) && whole(referenceImage) && whole(crystalImage);
}

void Renderer::renderTo(Image& out, std::int32_t size, Time time, Options options, bool fast) {
    draw(out, size, time, options, fast, false);
}

Renderer::RowSpan Renderer::renderOver(Image& out, std::int32_t size, Time time, Options options, bool fast) {
    return draw(out, size, time, options, fast, true);
}

Renderer::RowSpan Renderer::draw(Image& out, std::int32_t size, Time time, Options options, bool fast,
                                 bool over) {
    size = frameSize(size);
    // Whatever comes below, the image renderOver drew last may be rewritten
    // whole: it is no longer known until this frame records it again.
    const Drawn last = lastOver;
    if (out.pixels.data() == lastOver.pixels) lastOver.valid = false;

    if (over) changedColumns.assign(static_cast<std::size_t>(size), RowReach{0, size - 1});
    if (!usable()) {
        // Nothing to draw from: a transparent frame of the asked size.
        out.width = size;
        out.height = size;
        out.pixels.assign(static_cast<std::size_t>(size) * size, Pixel{});
        return {0, size};
    }

    bool rebuilt = false;             // the scaled images are new this frame
    std::vector<Visible> crystalRows; // then where the new crystal may be visible
    if (size != scaledSize || fast != scaledFast) {
        // Everything that can fail is allocated first: a failure leaves the old
        // images and the old key. The key is written only after both images
        // exist. The quick resizer writes into the images' own storage, so an
        // animation step, a new size every frame, does not fault in and clear
        // new pages for each.
        const std::size_t count = static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
        FastPlan crystalPlan = planFast(crystalImage, size);
        FastPlan facePlan;
        Image face;
        if (fast)
            facePlan = planFast(faceImage, size);
        else
            face = resample(faceImage, size);
        // New storage only where the old is too small; fresh, not grown, since
        // every pixel is rewritten.
        std::vector<Pixel> crystalRoom, faceRoom;
        if (scaledCrystal.pixels.capacity() < count) crystalRoom.reserve(roomFor(count, fast));
        if (fast && scaledFace.pixels.capacity() < count) faceRoom.reserve(roomFor(count, fast));

        // Nothing below allocates.
        if (crystalRoom.capacity() != 0) scaledCrystal.pixels.swap(crystalRoom);
        runFast(crystalImage, crystalPlan, scaledCrystal);
        crystalRows.swap(crystalPlan.written);
        if (fast) {
            if (faceRoom.capacity() != 0) scaledFace.pixels.swap(faceRoom);
            runFast(faceImage, facePlan, scaledFace);
        } else {
            scaledFace = std::move(face);
        }
        scaledSize = size;
        scaledFast = fast;
        glassStrength = -1.0;
        faceGlassStrength = -1.0;
        rebuilt = true;
        ++faceGeneration;
    }

    // The glass first: whether the face under glass can stand in for the face
    // depends on it.
    bool underGlass = false;
    if (options.crystal) {
        const double k =
            options.reflection < 1.5 ? (options.reflection > 0.5 ? options.reflection : 0.5) : 1.5;
        const bool changed = rebuilt || k != glassStrength;
        prepareGlass(k, crystalRows);
        // Built only once size and strength have held for a frame, so the
        // steps of an animated resize, each at a new size, pay nothing for it.
        if (!changed && faceGlassStrength != glassStrength) {
            faceGlass.pixels.assign(scaledFace.pixels.begin(), scaledFace.pixels.end());
            faceGlass.width = scaledFace.width;
            faceGlass.height = scaledFace.height;
            compositeGlass(faceGlass);
            faceGlassStrength = glassStrength;
            ++faceGeneration;
        }
        underGlass = faceGlassStrength == glassStrength && glassStrength >= 0 &&
                     faceGlass.width == scaledFace.width && faceGlass.height == scaledFace.height &&
                     faceGlass.pixels.size() == scaledFace.pixels.size();
    }

    const Angles angles = handAngles(time, options.smooth);
    const double hourAngle = angles.hour, minuteAngle = angles.minute, secondsAngle = angles.second;
    const double theta = secondsAngle * std::numbers::pi / 180;
    const double discX = hands::pivotX + 210 * std::sin(theta), discY = hands::pivotY - 210 * std::cos(theta);

    // The frame's drawing calls, bottom to top: all shadows under all hands, the
    // seconds disc on its hand, the pivot cap over everything. One list serves
    // both the pixels a steady frame redraws and the drawing itself.
    struct Shape {
        bool disc;
        std::int32_t hand; // hands: 0 hour, 1 minute, 2 seconds
        double angle;
        bool shadow;
        double cx, cy, radius; // discs
        bool textured;
    };
    Shape shapes[8];
    int count = 0;
    auto hand = [&](std::int32_t h, double angle, bool shadow) {
        shapes[count++] = Shape{false, h, angle, shadow, 0, 0, 0, false};
    };
    auto disc = [&](double cx, double cy, double radius, bool textured) {
        shapes[count++] = Shape{true, 0, 0, false, cx, cy, radius, textured};
    };
    if (options.shadows) {
        hand(0, hourAngle, true);
        hand(1, minuteAngle, true);
        if (options.seconds) hand(2, secondsAngle, true);
    }
    hand(0, hourAngle, false);
    hand(1, minuteAngle, false);
    if (options.seconds) {
        hand(2, secondsAngle, false);
        disc(discX, discY, 6, false);
    }
    disc(hands::pivotX, hands::pivotY, 28, true);

    // A steady frame has a cached face that holds every pixel no drawing below
    // can touch: the face under glass, or the bare face without the crystal.
    const bool steady = underGlass || (!options.crystal && !fast);
    const Image& cached = underGlass ? faceGlass : scaledFace;
    // renderOver's image still holds its last frame over the same cached face:
    // only what that frame drew goes back.
    const bool partial = over && steady && last.valid && last.pixels == out.pixels.data() &&
                         last.size == size && last.generation == faceGeneration && last.glass == underGlass &&
                         out.width == scaledFace.width && out.height == scaledFace.height &&
                         out.pixels.size() == scaledFace.pixels.size() &&
                         lastReach.size() == static_cast<std::size_t>(size);

    std::vector<RowReach>& reach = frameReach;
    if (underGlass || (over && steady)) {
        noReach(reach, scaledFace.height);
        for (int k = 0; k < count; ++k) {
            const Shape& e = shapes[k];
            if (e.disc) {
                reachDisc(reach, scaledFace.width, e.cx, e.cy, e.radius);
            } else {
                reachHand(reach, scaledFace.width, e.hand, e.angle, e.shadow);
            }
        }
    }
    auto copyStretch = [&](const Image& from, std::size_t row, RowReach r) {
        if (r.first > r.last) return;
        const std::size_t start =
            row * static_cast<std::size_t>(out.width) + static_cast<std::size_t>(r.first);
        std::copy_n(from.pixels.begin() + static_cast<std::ptrdiff_t>(start), r.last - r.first + 1,
                    out.pixels.begin() + static_cast<std::ptrdiff_t>(start));
    };

    RowSpan changed{0, size};
    if (partial) {
        // Where the last frame drew, the cached face comes back; where this one
        // draws, the bare face (the glass goes over it again at the end).
        changed = {size, 0};
        for (std::size_t i = 0; i < reach.size(); ++i) {
            const RowReach was = lastReach[i], now = reach[i];
            RowReach& both = changedColumns[i];
            if (was.first > was.last && now.first > now.last) {
                both = RowReach{};
                continue;
            }
            both = was.first > was.last ? now
                   : now.first > now.last
                       ? was
                       : RowReach{std::min(was.first, now.first), std::max(was.last, now.last)};
            // The cached face only where this frame does not draw: the bare
            // face goes over all of that anyway.
            if (now.first > now.last) {
                copyStretch(cached, i, was);
            } else {
                copyStretch(cached, i, {was.first, std::min(was.last, now.first - 1)});
                copyStretch(cached, i, {std::max(was.first, now.last + 1), was.last});
            }
            copyStretch(scaledFace, i, now);
            const auto row = static_cast<std::int32_t>(i);
            if (row < changed.top) changed.top = row;
            changed.bottom = row + 1;
        }
        if (changed.top >= changed.bottom) changed = {0, 0};
    } else {
        // assign() keeps out's storage when it is large enough.
        if (out.pixels.capacity() < scaledFace.pixels.size())
            out.pixels.reserve(roomFor(scaledFace.pixels.size(), fast));
        out.width = scaledFace.width;
        out.height = scaledFace.height;
        if (underGlass) {
            // Every pixel no drawing below can touch already holds its final
            // value in the face under glass; the rest go back to the bare face,
            // are drawn on, and get the glass again at the end. Same bytes as
            // the whole face drawn on and the whole layer composited. Row by
            // row, so no pixel is written twice; resize() keeps the pixels it
            // has, which are all written below.
            out.pixels.resize(faceGlass.pixels.size());
            const auto width = static_cast<std::size_t>(out.width);
            for (std::size_t i = 0; i < reach.size(); ++i) {
                const RowReach r = reach[i];
                const std::size_t start = i * width;
                if (r.first > r.last) {
                    std::copy_n(faceGlass.pixels.begin() + static_cast<std::ptrdiff_t>(start), width,
                                out.pixels.begin() + static_cast<std::ptrdiff_t>(start));
                    continue;
                }
                const auto first = static_cast<std::size_t>(r.first),
                           end = static_cast<std::size_t>(r.last) + 1;
                std::copy_n(faceGlass.pixels.begin() + static_cast<std::ptrdiff_t>(start), first,
                            out.pixels.begin() + static_cast<std::ptrdiff_t>(start));
                copyStretch(scaledFace, i, r);
                std::copy_n(faceGlass.pixels.begin() + static_cast<std::ptrdiff_t>(start + end), width - end,
                            out.pixels.begin() + static_cast<std::ptrdiff_t>(start + end));
            }
        } else {
            out.pixels.assign(scaledFace.pixels.begin(), scaledFace.pixels.end());
        }
    }

    int k = 0;
    if (options.shadows) {
        // The shadows and the hour and minute hands lead the list.
        drawHandsOverShadows(out, angles, options.seconds);
        k = options.seconds ? 5 : 4;
    }
    for (; k < count; ++k) {
        const Shape& e = shapes[k];
        if (e.disc) {
            circle(out, e.cx, e.cy, e.radius, e.textured);
        } else {
            polygon(out, e.hand, e.angle, e.shadow);
        }
    }

    if (underGlass) {
        for (std::size_t i = 0; i < reach.size(); ++i) {
            const RowReach r = reach[i];
            if (r.first > r.last) continue;
            const std::uint64_t start = i * static_cast<std::uint64_t>(out.width);
            compositeGlass(out, start + static_cast<std::uint64_t>(r.first),
                           start + static_cast<std::uint64_t>(r.last) + 1);
        }
    } else if (options.crystal) {
        compositeGlass(out);
    }

    if (over && steady) {
        // This frame's reach becomes the last; its storage is kept for the next.
        lastReach.swap(frameReach);
        lastOver = {out.pixels.data(), size, faceGeneration, underGlass, true};
    }
    return changed;
}

} // namespace velmor

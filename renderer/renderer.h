// The clock renderer: one whole frame of the clock for a time and options.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "renderer/frame_limits.h"
#include "renderer/hand_shape.h"
#include "renderer/image.h"
#include "renderer/reach.h"
#include "renderer/visible.h"

namespace velmor {

// The time to show; copied from the platform's local time.
struct Time {
    std::int32_t hour = 0;        // 0..23
    std::int32_t minute = 0;      // 0..59
    std::int32_t second = 0;      // 0..59
    std::int32_t millisecond = 0; // 0..999
};

// The hands' angles for a time, in degrees clockwise from 12 o'clock.
struct Angles {
    double hour = 0;
    double minute = 0;
    double second = 0;
};

// The one rule from a time to the hands: `smooth` adds the milliseconds, so
// every hand moves continuously; without it the seconds hand steps and the
// other two move by whole seconds.
Angles handAngles(Time time, bool smooth);

// What to draw.
struct Options {
    bool seconds = true;     // seconds hand, its shadow and its disc
    bool smooth = true;      // the seconds hand sweeps with the milliseconds
    bool shadows = true;     // the hands' shadows
    bool crystal = true;     // the crystal reflection over the frame
    double reflection = 1.0; // crystal strength factor (percent / 100)
};

// Owns the three decoded artworks and the caches that keep an ordinary frame
// cheap: the face and crystal resized to the last frame size, and the crystal
// layer at the last strength. Fields are plain data, in this order, so tests and
// tools can look at the caches.
class Renderer {
  public:
    // One horizontal stretch of visible glass pixels, as flat pixel indexes.
    struct GlassRun {
        std::uint64_t begin = 0;
        std::uint64_t end = 0;
    };
    // The leaf profile's types, under the names callers have always used.
    using LeafKnot = velmor::LeafKnot;
    using LeafSection = velmor::LeafSection;

    // Takes the face (101), reference (103) and crystal (104) artwork over.
    Renderer(Image face, Image reference, Image crystal);

    // The renderer for the three artworks, or null when any of them has no
    // pixels (a failed decode): callers treat null like missing artwork.
    static std::unique_ptr<Renderer> make(Image face, Image reference, Image crystal);
    // True when all three artworks have pixels; an unusable renderer draws
    // transparent frames.
    bool usable() const;

    // Replaces `out` with the frame for `time` and `options`, size clamped into
    // smallestFrame..largestFrame; `fast` resizes the face with the quick resizer.
    void renderTo(Image& out, std::int32_t size, Time time, Options options, bool fast);

    // Rows top..bottom - 1 of a frame.
    struct RowSpan {
        std::int32_t top = 0;
        std::int32_t bottom = 0;
    };
    // The same frame as renderTo, for a caller that keeps `out` from one call
    // to the next and writes nothing into it: when the last renderOver drew
    // into this very image at this size with the same cached face (a steady
    // tick), only the pixels the last and this frame's hands, shadows and
    // discs may touch are restored and drawn again. Returns the rows that may
    // differ from what `out` held before (every row when all were drawn).
    RowSpan renderOver(Image& out, std::int32_t size, Time time, Options options, bool fast);
    // For each row of the last renderOver's frame, the columns that may differ
    // from what its image held before (whole rows when it drew every row).
    std::vector<RowReach> changedColumns;

    // Brings `glass` and `glassRuns` up to date for `strength` (0.5..1.5).
    void prepareGlass(double strength);
    // The same, given for each row of scaledCrystal a stretch outside which it
    // is all zero (the quick resizer's `written`), so the layer is made without
    // looking for the visible pixels again. Without one stretch per row it
    // looks for them itself.
    void prepareGlass(double strength, const std::vector<Visible>& crystalRows);
    // Composites `glass` over `frame` along `glassRuns` (integer premultiplied
    // source-over); `frame` must have the glass layer's size.
    void compositeGlass(Image& frame) const;
    // The same over the pixels begin..end - 1 (flat indexes) only.
    void compositeGlass(Image& frame, std::uint64_t begin, std::uint64_t end) const;

    // A hand's pixel kept for after the shadows: where (flat index), the hand's
    // look there and its coverage.
    struct LaterLook {
        std::int32_t index = 0;
        Pixel look;
        double coverage = 0;
    };
    // What drawHandsOverShadows keeps between its stages, held here so that a
    // steady frame allocates nothing.
    struct Cover {
        std::vector<std::uint8_t> marks; // per pixel: 1 the hour, 2 the minute hand overwrote it whole
        std::vector<RowReach> marked;    // per row, the columns marked
        std::vector<LaterLook> later[2]; // the hour and the minute hand's other pixels
    };
    // Draws a disc (dial units): textured from the reference hub, or brass-shaded.
    void circle(Image& image, double cx, double cy, double radius, bool textured) const;
    // Draws hand 0 (hour), 1 (minute) or 2 (seconds), or its shadow, at `angle`.
    void polygon(Image& image, std::int32_t hand, double angle, bool shadow) const;
    // The leaf profile of hand 0 (hour) or any other index (minute) at `along`.
    LeafSection leaf(std::int32_t hand, double along) const;

    Image faceImage;
    Image referenceImage;
    Image scaledFace;
    Image scaledCrystal;
    Image crystalImage;
    Image glass;
    std::int32_t scaledSize = 0;
    bool scaledFast = false;
    double glassStrength = -1.0;
    std::vector<GlassRun> glassRuns;
    // The scaled face with the glass over it, so a steady frame redraws only the
    // pixels its hands and discs may touch instead of compositing the whole
    // layer. Current while faceGlassStrength equals glassStrength; -1.0 (stale)
    // after any change of the scaled images or the glass.
    Image faceGlass;
    double faceGlassStrength = -1.0;
    // Scratch: the stretches of each row a steady frame redraws, kept so that
    // frame allocates nothing.
    std::vector<RowReach> frameReach;
    Cover cover;

  private:
    RowSpan draw(Image& out, std::int32_t size, Time time, Options options, bool fast, bool over);
    // The shadows of the hour and minute hands (and of the seconds hand with
    // `seconds`), then those two hands, into a frame no larger than the largest:
    // the bytes polygon() gives drawing them one by one in that order, without
    // the shadow work the hands cover.
    void drawHandsOverShadows(Image& image, Angles angles, bool seconds);

    // What the last renderOver left in its image: every pixel equals the
    // cached face (under glass when `glass`) of `generation` except within
    // `lastReach`. Valid only for that image's storage at that size.
    struct Drawn {
        const Pixel* pixels = nullptr;
        std::int32_t size = 0;
        std::uint64_t generation = 0;
        bool glass = false;
        bool valid = false;
    };
    Drawn lastOver;
    std::vector<RowReach> lastReach;
    // Counts every change of the scaled face or the face under glass.
    std::uint64_t faceGeneration = 0;
};

} // namespace velmor

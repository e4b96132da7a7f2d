#include "renderer/renderer.h"

#include <cmath>
#include <utility>

#include "renderer/resample.h"

namespace velmor {

namespace {
// An image whose pixel vector really holds width x height pixels.
bool whole(const Image& image) {
    return !image.empty() &&
           image.pixels.size() == static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
}
} // namespace

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
    if (size > 1200) size = 1200;
    if (size < 160) size = 160;

    if (!usable()) {
        // Nothing to draw from: a transparent frame of the asked size.
        out.width = size;
        out.height = size;
        out.pixels.assign(static_cast<std::size_t>(size) * size, Pixel{});
        return;
    }

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
        if (scaledCrystal.pixels.capacity() < count) crystalRoom.reserve(count);
        if (fast && scaledFace.pixels.capacity() < count) faceRoom.reserve(count);

        // Nothing below allocates.
        if (crystalRoom.capacity() != 0) scaledCrystal.pixels.swap(crystalRoom);
        runFast(crystalImage, crystalPlan, scaledCrystal);
        if (fast) {
            if (faceRoom.capacity() != 0) scaledFace.pixels.swap(faceRoom);
            runFast(faceImage, facePlan, scaledFace);
        } else {
            scaledFace = std::move(face);
        }
        scaledSize = size;
        scaledFast = fast;
        glassStrength = -1.0;
    }

    // assign() keeps out's storage when it is large enough.
    out.width = scaledFace.width;
    out.height = scaledFace.height;
    out.pixels.assign(scaledFace.pixels.begin(), scaledFace.pixels.end());

    const double s = options.smooth ? time.second + time.millisecond / 1000.0 : time.second;
    const double secondsAngle = s * 6;
    const double minuteAngle = (s / 60 + time.minute) * 6;
    const double hourAngle = ((time.hour % 12) + time.minute / 60.0 + s / 3600) * 30;

    if (options.shadows) {
        polygon(out, 0, hourAngle, true);
        polygon(out, 1, minuteAngle, true);
        if (options.seconds) polygon(out, 2, secondsAngle, true);
    }
    polygon(out, 0, hourAngle, false);
    polygon(out, 1, minuteAngle, false);
    if (options.seconds) {
        polygon(out, 2, secondsAngle, false);
        const double theta = secondsAngle * 3.141592653589793 / 180;
        circle(out, 500 + 210 * std::sin(theta), 492 - 210 * std::cos(theta), 6, false);
    }
    circle(out, 500, 492, 28, true);

    if (options.crystal) {
        const double k = options.reflection < 1.5 ? (options.reflection > 0.5 ? options.reflection : 0.5) : 1.5;
        prepareGlass(k);
        compositeGlass(out);
    }
}

} // namespace velmor

#include "renderer/renderer.h"

#include <utility>

namespace velmor {

Renderer::Renderer(Image face, Image reference, Image crystal)
    : faceImage(std::move(face)), referenceImage(std::move(reference)), crystalImage(std::move(crystal)) {}

std::unique_ptr<Renderer> Renderer::make(Image face, Image reference, Image crystal) {
    if (face.empty() || reference.empty() || crystal.empty()) return nullptr;
    return std::make_unique<Renderer>(std::move(face), std::move(reference), std::move(crystal));
}

bool Renderer::usable() const {
    return !faceImage.empty() && !referenceImage.empty() && !crystalImage.empty();
}

} // namespace velmor

#include "renderer/renderer.h"

#include <utility>

namespace velmor {

Renderer::Renderer(Image face, Image reference, Image crystal)
    : faceImage(std::move(face)), referenceImage(std::move(reference)), crystalImage(std::move(crystal)) {}

} // namespace velmor

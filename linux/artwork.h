// The built-in artwork and the one renderer made from it.
#pragma once

#include <memory>

#include "renderer/renderer.h"

// The renderer for the built-in face, reference and crystal; null when any of
// them does not decode.
std::unique_ptr<velmor::Renderer> BuiltInRenderer();

// The program's one renderer, owned from start-up to shutdown; null when there
// is none.
#pragma once

#include <memory>

#include "renderer/renderer.h"

extern std::unique_ptr<velmor::Renderer> renderer;

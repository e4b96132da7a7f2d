#include "presentation/clock_renderer.h"

std::unique_ptr<velmor::Renderer> renderer;

// Tiny bitmap captions for the contact sheet, so the tool needs no font library.
#pragma once

#include <string>

#include "renderer/image.h"

namespace velmor::preview {

// Draws `text` (A-Z, 0-9, space and : . % -) in 5 x 7 cells scaled by `scale`, opaque
// `shade` grey, with its top-left corner at (x, y); clipped to the image.
void drawLabel(Image& image, int x, int y, const std::string& text, int scale, std::uint8_t shade);
int labelWidth(const std::string& text, int scale);

} // namespace velmor::preview

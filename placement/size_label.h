// The size dialog's one-line size text.
#pragma once

#include <string>

// "Size: 100%  (320 pixels wide)": the size as a percent of 320 and the
// clock's width in screen pixels at `dpi`.
std::string SizeLabelText(int size, unsigned dpi);

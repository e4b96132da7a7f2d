#include "placement/size_label.h"

#include <cstdio>

#include "placement/size_model.h"

std::string SizeLabelText(int size, unsigned dpi) {
    char text[120];
    std::snprintf(text, sizeof text, "Size: %d%%  (%d pixels wide)", SizePercent(size), Pixels(size, dpi));
    return text;
}

#include "presentation/pixel_order.h"

velmor::Image ImageFromBgraRows(const std::uint8_t* firstRow, std::ptrdiff_t stride,
                                std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0 || !firstRow) return {};
    velmor::Image image{width, height,
                        std::vector<velmor::Pixel>(static_cast<std::size_t>(width) * height)};
    velmor::Pixel* out = image.pixels.data();
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* in = firstRow + y * stride;
        for (std::int32_t x = 0; x < width; ++x, in += 4)
            *out++ = velmor::Pixel{in[2], in[1], in[0], in[3]};
    }
    return image;
}

void BgraRowsFromImage(const velmor::Image& image, std::uint8_t* firstRow, std::ptrdiff_t stride,
                       std::int32_t size) {
    BgraRowsFromImage(image, firstRow, stride, size, 0, size);
}

void BgraRowsFromImage(const velmor::Image& image, std::uint8_t* firstRow, std::ptrdiff_t stride,
                       std::int32_t size, std::int32_t top, std::int32_t bottom) {
    if (top < 0) top = 0;
    if (bottom > size) bottom = size;
    for (std::int32_t y = top; y < bottom; ++y) {
        std::uint8_t* out = firstRow + y * stride;
        for (std::int32_t x = 0; x < size; ++x, out += 4) {
            velmor::Pixel p;  // transparent where the frame has no pixel
            if (y < image.height && x < image.width)
                p = image.pixels[static_cast<std::size_t>(y) * image.width + x];
            out[0] = p.b;
            out[1] = p.g;
            out[2] = p.r;
            out[3] = p.a;
        }
    }
}

#include "presentation/pixel_order.h"

#include <cstring>

velmor::Image ImageFromBgraRows(const std::uint8_t* firstRow, std::ptrdiff_t stride, std::int32_t width,
                                std::int32_t height) {
    if (width <= 0 || height <= 0 || !firstRow) return {};
    velmor::Image image{width, height, std::vector<velmor::Pixel>(static_cast<std::size_t>(width) * height)};
    velmor::Pixel* out = image.pixels.data();
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* in = firstRow + y * stride;
        for (std::int32_t x = 0; x < width; ++x, in += 4)
            *out++ = velmor::Pixel{in[2], in[1], in[0], in[3]};
    }
    return image;
}

namespace {

// Whether the frame has exactly the block's size.
bool Covers(const velmor::Image& image, std::int32_t size) {
    return image.width == size && image.height == size &&
           image.pixels.size() == static_cast<std::size_t>(size) * size;
}

// `count` pixels as BGRA: red and blue swapped in each 32-bit word (bytes
// r g b a little-endian; green and alpha stay), a loop the compiler turns into
// vector code.
void SwapRedBlue(const velmor::Pixel* in, std::uint8_t* out, std::int32_t count) {
    for (std::int32_t x = 0; x < count; ++x) {
        std::uint32_t p;
        std::memcpy(&p, in + x, 4);
        p = (p & 0xFF00FF00u) | ((p & 0xFFu) << 16) | ((p >> 16) & 0xFFu);
        std::memcpy(out + 4 * x, &p, 4);
    }
}

} // namespace

void BgraRowsFromImage(const velmor::Image& image, std::uint8_t* firstRow, std::ptrdiff_t stride,
                       std::int32_t size) {
    BgraRowsFromImage(image, firstRow, stride, size, 0, size);
}

void BgraRowsFromImage(const velmor::Image& image, std::uint8_t* firstRow, std::ptrdiff_t stride,
                       std::int32_t size, std::int32_t top, std::int32_t bottom) {
    if (top < 0) top = 0;
    if (bottom > size) bottom = size;
    // A frame that covers the block: whole rows.
    if (Covers(image, size)) {
        for (std::int32_t y = top; y < bottom; ++y)
            SwapRedBlue(image.pixels.data() + static_cast<std::size_t>(y) * size, firstRow + y * stride,
                        size);
        return;
    }
    for (std::int32_t y = top; y < bottom; ++y) {
        std::uint8_t* out = firstRow + y * stride;
        for (std::int32_t x = 0; x < size; ++x, out += 4) {
            velmor::Pixel p; // transparent where the frame has no pixel
            if (y < image.height && x < image.width)
                p = image.pixels[static_cast<std::size_t>(y) * image.width + x];
            out[0] = p.b;
            out[1] = p.g;
            out[2] = p.r;
            out[3] = p.a;
        }
    }
}

velmor::RowReach BgraStretchesFromImage(const velmor::Image& image, std::uint8_t* firstRow,
                                        std::ptrdiff_t stride, std::int32_t size,
                                        const std::vector<velmor::RowReach>& columns, std::int32_t top,
                                        std::int32_t bottom) {
    if (top < 0) top = 0;
    if (bottom > size) bottom = size;
    if (!Covers(image, size)) {
        BgraRowsFromImage(image, firstRow, stride, size, top, bottom);
        return top < bottom ? velmor::RowReach{0, size - 1} : velmor::RowReach{};
    }
    if (bottom > static_cast<std::int32_t>(columns.size()))
        bottom = static_cast<std::int32_t>(columns.size());
    velmor::RowReach written{size, -1};
    for (std::int32_t y = top; y < bottom; ++y) {
        const velmor::RowReach c = columns[static_cast<std::size_t>(y)];
        const std::int32_t first = c.first > 0 ? c.first : 0, last = c.last < size - 1 ? c.last : size - 1;
        if (first > last) continue;
        SwapRedBlue(image.pixels.data() + static_cast<std::size_t>(y) * size + first,
                    firstRow + y * stride + 4 * static_cast<std::ptrdiff_t>(first), last - first + 1);
        written.first = first < written.first ? first : written.first;
        written.last = last > written.last ? last : written.last;
    }
    return written;
}

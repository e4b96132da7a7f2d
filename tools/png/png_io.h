// PNG files for the native tools and artwork tests: decoding into the renderer's
// premultiplied image, the file's chunk layout, and writing straight-alpha RGBA.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "renderer/image.h"

namespace velmor::png {

// Header fields and chunk order of a PNG file, read without decoding it.
struct Layout {
    bool valid = false; // signature and IHDR present
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
    std::vector<std::string> chunks; // chunk types in file order
};

std::vector<std::uint8_t> readFile(const std::string& path);
Layout layout(const std::vector<std::uint8_t>& bytes);

// Decodes to 8-bit RGBA and premultiplies with (c * a + 127) / 255. An empty image
// on any failure, with the reason in `error` when given.
Image decode(const std::vector<std::uint8_t>& bytes, std::string* error = nullptr);
Image load(const std::string& path, std::string* error = nullptr);

// Premultiplies straight RGBA bytes (r, g, b, a per pixel).
Image premultiply(std::int32_t width, std::int32_t height, const std::uint8_t* straight);
// Straight RGBA bytes of a premultiplied image, as image viewers expect.
std::vector<std::uint8_t> unpremultiply(const Image& image);

// Writes an 8-bit RGBA PNG (straight alpha). False on failure.
bool save(const std::string& path, const Image& premultiplied);

} // namespace velmor::png

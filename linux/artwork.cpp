#include "linux/artwork.h"

#include <cstdint>
#include <vector>

#include "tools/png/png_io.h"

extern "C" {
extern const std::uint8_t velmor_face_png[], velmor_face_png_end[];
extern const std::uint8_t velmor_reference_png[], velmor_reference_png_end[];
extern const std::uint8_t velmor_crystal_png[], velmor_crystal_png_end[];
}

namespace {

velmor::Image Decode(const std::uint8_t* begin, const std::uint8_t* end) {
    return velmor::png::decode(std::vector<std::uint8_t>(begin, end));
}

} // namespace

std::unique_ptr<velmor::Renderer> BuiltInRenderer() {
    return velmor::Renderer::make(Decode(velmor_face_png, velmor_face_png_end),
                                  Decode(velmor_reference_png, velmor_reference_png_end),
                                  Decode(velmor_crystal_png, velmor_crystal_png_end));
}

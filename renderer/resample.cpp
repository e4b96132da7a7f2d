// What both resizers share: which kernels may run, and the checks and results
// for sources they cannot resize.
#include <algorithm>
#include <cstddef>

#include "renderer/resample_kernels.h"

namespace velmor {

namespace {
// The widest kernel set the resizers may use: 0 baseline, 1 AVX2, 2 AVX-512.
int kernelLimit = 2;
} // namespace

namespace resampling {

int kernelSet() {
    return std::min(kernelLimit, vectorLevel());
}

bool plainOnly() {
    return kernelLimit <= 0;
}

bool usable(const Image& image) {
    return image.width > 0 && image.height > 0 &&
           image.pixels.size() >=
               static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
}

Image transparent(std::int32_t size) {
    const std::size_t edge = static_cast<std::size_t>(size);
    Image image;
    image.pixels.resize(size < 0 ? edge : edge * edge);
    image.width = size;
    image.height = size;
    return image;
}

} // namespace resampling

namespace detail {
void useBaselineKernels(bool baseline) {
    kernelLimit = baseline ? 0 : 2;
}
void limitKernels(int widest) {
    kernelLimit = widest;
}
} // namespace detail

} // namespace velmor

// sampleMany()'s SSE2 kernel, declared here rather than in compositing.h so the
// tests can hold it to sample() on a machine that has AVX2.
#pragma once

#include "renderer/compositing.h"

#if VELMOR_X86_64
namespace velmor::detail {
// sampleMany() with two points' axes at a time in SSE2 lanes, for processors
// without AVX2; the image is not empty.
void sampleManyNarrow(const Image& image, const double* xs, const double* ys, Pixel* out, int n);
} // namespace velmor::detail
#endif

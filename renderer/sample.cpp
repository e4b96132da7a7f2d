// Sampling many points at once, in AVX2 lanes where the processor has them
// (sample_avx2.cpp), else in SSE2 lanes on any x86-64 (sample_sse2.cpp).
#include "renderer/compositing.h"

namespace velmor {

#if VELMOR_X86_64
const bool detail::wideSampling = hasAvx2();
#endif

void sampleMany(const Image& image, const double* xs, const double* ys, Pixel* out, int n) {
#if VELMOR_X86_64
    if (!image.empty()) {
        if (detail::wideSampling)
            detail::sampleManyWide(image, xs, ys, out, n);
        else
            detail::sampleManyNarrow(image, xs, ys, out, n);
        return;
    }
#endif
    for (int k = 0; k < n; ++k)
        out[k] = sample(image, xs[k], ys[k]);
}

} // namespace velmor

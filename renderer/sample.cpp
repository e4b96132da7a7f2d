// Sampling many points at once, in AVX2 lanes where the processor has them
// (sample_avx2.cpp).
#include "renderer/compositing.h"

namespace velmor {

#if VELMOR_X86_64
const bool detail::wideSampling = hasAvx2();
#endif

void sampleMany(const Image& image, const double* xs, const double* ys, Pixel* out, int n) {
#if VELMOR_X86_64
    if (detail::wideSampling && !image.empty()) {
        detail::sampleManyWide(image, xs, ys, out, n);
        return;
    }
#endif
    for (int k = 0; k < n; ++k)
        out[k] = sample(image, xs[k], ys[k]);
}

} // namespace velmor

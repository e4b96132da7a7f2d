// Shadow edges: the plain loop, and the choice of the AVX2 kernel
// (shadow_edge_avx2.cpp) where the processor has it, else the SSE2 one
// (shadow_edge_sse2.cpp) on any x86-64.
#include "renderer/shadow_edge.h"

#include <algorithm>
#include <cmath>

#include "renderer/simd.h"

namespace velmor {

namespace detail {
void shadowEdgePlain(const LeafSegment* segments, const int* segment, const double* u, const double* ax,
                     const double* e, double* out, int n) {
    for (int k = 0; k < n; ++k) {
        const LeafSection section = leafSectionAt(segments[segment[k]], u[k]);
        const double f = (ax[k] - section.halfWidth) / std::sqrt(section.slope * section.slope + 1);
        out[k] = 0.5 - std::max(e[k], f) / 7;
    }
}
} // namespace detail

void shadowEdge(const LeafSegment* segments, const int* segment, const double* u, const double* ax,
                const double* e, double* out, int n) {
#if VELMOR_X86_64
    if (hasAvx2()) {
        detail::shadowEdgeAvx2(segments, segment, u, ax, e, out, n);
        return;
    }
    detail::shadowEdgeSse2(segments, segment, u, ax, e, out, n);
#else
    detail::shadowEdgePlain(segments, segment, u, ax, e, out, n);
#endif
}

} // namespace velmor

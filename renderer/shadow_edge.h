// The soft edge of a leaf hand's shadow for a batch of pixels: the opacity
// factor 0.5 - d / 7 of each, from its distance d to the leaf's outline.
#pragma once

#include "renderer/leaf_spline.h"

namespace velmor {

// For each k < n: the leaf's section in segments[segment[k]] at u[k], the
// distance d = max(e[k], (ax[k] - half-width) / sqrt(slope² + 1)), and
// out[k] = 0.5 - d / 7. Several pixels at a time where the processor allows;
// always the bytes of the plain loop.
void shadowEdge(const LeafSegment* segments, const int* segment, const double* u, const double* ax,
                const double* e, double* out, int n);

namespace detail {
// The plain loop, which the tests hold the other paths to.
void shadowEdgePlain(const LeafSegment* segments, const int* segment, const double* u, const double* ax,
                     const double* e, double* out, int n);
// Four pixels at a time in AVX2 lanes, for processors that have it.
void shadowEdgeAvx2(const LeafSegment* segments, const int* segment, const double* u, const double* ax,
                    const double* e, double* out, int n);
// Two pixels at a time in SSE2 lanes, for x86-64 processors without AVX2.
void shadowEdgeSse2(const LeafSegment* segments, const int* segment, const double* u, const double* ax,
                    const double* e, double* out, int n);
} // namespace detail

} // namespace velmor

// VELMOR_VECTORS=sse2 (or avx2) in the environment of a test or benchmark
// program that includes this caps the raster engine's vector paths, so a wide
// machine runs what a processor without AVX2 (or without AVX-512) runs. The
// clock itself never reads its environment.
#pragma once

#include <cstdlib>
#include <string_view>

#include "renderer/simd.h"

namespace velmor::testing {

// The cap VELMOR_VECTORS asks for; 2 (no cap) when it is unset or unknown.
inline int vectorsFromEnvironment() {
    const char* asked = std::getenv("VELMOR_VECTORS");
    if (asked == nullptr) return 2;
    if (std::string_view(asked) == "sse2") return 0;
    if (std::string_view(asked) == "avx2") return 1;
    return 2;
}

// Applied when the program starts, before any frame is drawn.
inline const bool vectorsCapped = (capVectors(vectorsFromEnvironment()), true);

} // namespace velmor::testing

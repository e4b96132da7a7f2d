// x86-64 intrinsics where the compiler targets x86-64 with GCC-style builtins;
// elsewhere VELMOR_X86_64 is 0 and callers use their plain loops.
//
// Code that uses AVX2 or AVX-512 lives in files named *_avx2.cpp or
// *_avx512.cpp, each function marked with its target, and runs only where
// vectorLevel() says the processor has it.
#pragma once

#include <cstdlib>
#include <cstring>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define VELMOR_X86_64 1
#else
#define VELMOR_X86_64 0
#endif

namespace velmor {

// The widest vector instructions the processor offers beyond the x86-64
// baseline (SSE2): 0 none, 1 AVX2, 2 AVX-512 (with AVX2). Asked once. It may
// be first asked before the runtime has set up its own record of the
// processor, hence the init.
//
// The environment variable VELMOR_VECTORS=sse2 (or avx2) caps the answer, so
// benchmarks and tests on a wide machine can run what a processor without
// AVX2 (or without AVX-512) runs; it can only narrow, never widen.
inline int vectorLevel() {
#if VELMOR_X86_64
    static const int level = [] {
        __builtin_cpu_init();
        int offered = 0;
        if (__builtin_cpu_supports("avx2") != 0) offered = __builtin_cpu_supports("avx512f") != 0 ? 2 : 1;
        const char* cap = std::getenv("VELMOR_VECTORS");
        if (cap != nullptr && std::strcmp(cap, "sse2") == 0) return 0;
        if (cap != nullptr && std::strcmp(cap, "avx2") == 0 && offered > 1) return 1;
        return offered;
    }();
    return level;
#else
    return 0;
#endif
}

// True when the processor has AVX2.
inline bool hasAvx2() {
    return vectorLevel() >= 1;
}

} // namespace velmor

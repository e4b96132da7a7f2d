// x86-64 intrinsics where the compiler targets x86-64 with GCC-style builtins;
// elsewhere VELMOR_X86_64 is 0 and callers use their plain loops.
//
// Code that uses AVX2 or AVX-512 lives in files named *_avx2.cpp or
// *_avx512.cpp, each function marked with its target, and runs only where
// vectorLevel() says the processor has it.
#pragma once

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define VELMOR_X86_64 1
#else
#define VELMOR_X86_64 0
#endif

namespace velmor {

// The cap capVectors() set: vectorLevel() never answers more. Only benchmarks
// and tests set it; the program itself runs what the processor offers.
inline int& vectorCap() {
    static int cap = 2;
    return cap;
}

// Caps vectorLevel() at `level` (0 the x86-64 baseline, 1 AVX2), so benchmarks
// and tests on a wide machine run what a narrower processor runs. It can only
// narrow, never widen. Set it before the first frame, on the one thread.
inline void capVectors(int level) {
    vectorCap() = level < 0 ? 0 : level;
}

// The widest vector instructions the processor offers beyond the x86-64
// baseline (SSE2): 0 none, 1 AVX2, 2 AVX-512 (with AVX2), within the cap.
// The processor is asked once. It may be first asked before the runtime has
// set up its own record of the processor, hence the init.
inline int vectorLevel() {
#if VELMOR_X86_64
    static const int offered = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx2") == 0) return 0;
        return __builtin_cpu_supports("avx512f") != 0 ? 2 : 1;
    }();
    return offered < vectorCap() ? offered : vectorCap();
#else
    return 0;
#endif
}

// True when the processor has AVX2.
inline bool hasAvx2() {
    return vectorLevel() >= 1;
}

} // namespace velmor

// x86-64 intrinsics where the compiler targets x86-64 with GCC-style builtins;
// elsewhere VELMOR_X86_64 is 0 and callers use their plain loops.
#pragma once

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define VELMOR_X86_64 1
#else
#define VELMOR_X86_64 0
#endif

#if VELMOR_X86_64
namespace velmor {
// True when the processor has AVX2, asked once. It may be first asked before
// the runtime has set up its own record of the processor, hence the init.
inline bool hasAvx2() {
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return has;
}
} // namespace velmor
#endif

// x86-64 intrinsics where the compiler targets x86-64 with GCC-style builtins;
// elsewhere VELMOR_X86_64 is 0 and callers use their plain loops.
#pragma once

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define VELMOR_X86_64 1
#else
#define VELMOR_X86_64 0
#endif

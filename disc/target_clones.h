// Marks a hot loop for an extra AVX2 copy that the loader picks on machines
// that have it; the default build stays portable. Results do not depend on
// the copy: the loops use only correctly rounded operations, never fused ones.
// For functions internal to their file only: clang 14 emits no outside symbol
// for a cloned function.
#pragma once

#if defined(__GNUC__) && defined(__x86_64__) && defined(__linux__) && !defined(VELQUIN_NO_CLONES)
#define VELQUIN_TARGET_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define VELQUIN_TARGET_CLONES
#endif

// SPDX-License-Identifier: GPL-3.0-or-later
// Functions compiled for the baseline x86-64 and again for AVX2, the loader picking the one the processor
// runs (through an ifunc). Always without FMA, so that both round every operation alike and give the same
// bits: each vector lane computes what a scalar would, whatever the lanes' number.
//   DOT11B_ALSO_AVX2 before a function: one body, compiled twice. For the loops whose vectors the compiler
//     forms itself, AVX2 takes twice the numbers to an instruction.
//   With DOT11B_AVX2_VERSIONS, a function defined twice, once DOT11B_AVX2 and once DOT11B_BASELINE: for
//     loops written with vector registers of a given size (rx/stream/lanes.h), the AVX2 body with 32 bytes.
// Only for functions of internal linkage: an ifunc that the executable exports and a library it loads
// calls cannot be resolved.
#pragma once

// GCC's: clang clones no function templates (its builds, the fuzzers', take the baseline alone). Built with
// DOT11B_BASELINE_ONLY defined, the baseline alone, as a processor without AVX2 runs it (to measure it).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(DOT11B_BASELINE_ONLY)
#define DOT11B_ALSO_AVX2 __attribute__((target_clones("avx2", "default")))
#define DOT11B_AVX2_VERSIONS 1
#define DOT11B_AVX2 __attribute__((target("avx2")))
#define DOT11B_BASELINE __attribute__((target("default")))
#endif
#ifndef DOT11B_ALSO_AVX2
#define DOT11B_ALSO_AVX2
#endif

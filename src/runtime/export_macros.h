// SPDX-License-Identifier: GPL-3.0-or-later
// Definitions of the exported calling forms of one routine, matching the prototypes of the public header.
#pragma once

#include "runtime/c_calls.h"

#define D11_IN0 void
#define D11_IN1 dot11b_array* i1
#define D11_IN2 D11_IN1, dot11b_array* i2
#define D11_IN3 D11_IN2, dot11b_array* i3
#define D11_IN4 D11_IN3, dot11b_array* i4
#define D11_IN5 D11_IN4, dot11b_array* i5
#define D11_IN6 D11_IN5, dot11b_array* i6
#define D11_IN7 D11_IN6, dot11b_array* i7
#define D11_IN8 D11_IN7, dot11b_array* i8
#define D11_IN9 D11_IN8, dot11b_array* i9
#define D11_IN10 D11_IN9, dot11b_array* i10
#define D11_IN11 D11_IN10, dot11b_array* i11
#define D11_IN12 D11_IN11, dot11b_array* i12
#define D11_IN13 D11_IN12, dot11b_array* i13
#define D11_IN14 D11_IN13, dot11b_array* i14
#define D11_IN15 D11_IN14, dot11b_array* i15
#define D11_IN16 D11_IN15, dot11b_array* i16

#define D11_ARG0
#define D11_ARG1 i1
#define D11_ARG2 D11_ARG1, i2
#define D11_ARG3 D11_ARG2, i3
#define D11_ARG4 D11_ARG3, i4
#define D11_ARG5 D11_ARG4, i5
#define D11_ARG6 D11_ARG5, i6
#define D11_ARG7 D11_ARG6, i7
#define D11_ARG8 D11_ARG7, i8
#define D11_ARG9 D11_ARG8, i9
#define D11_ARG10 D11_ARG9, i10
#define D11_ARG11 D11_ARG10, i11
#define D11_ARG12 D11_ARG11, i12
#define D11_ARG13 D11_ARG12, i13
#define D11_ARG14 D11_ARG13, i14
#define D11_ARG15 D11_ARG14, i15
#define D11_ARG16 D11_ARG15, i16

#define D11_MLX(name)                                                                   \
  extern "C" DOT11B_API int mlx##name(int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]) { \
    return ::dot11b::rt::callMlx(#name, nlhs, plhs, nrhs, prhs);                        \
  }

// nin fixed inputs (0..16), one result.
#define DOT11B_EXPORT_1(name, nin)                                                       \
  extern "C" DOT11B_API dot11b_array* mlf##name(D11_IN##nin) {                           \
    return ::dot11b::rt::callMlf(#name, {}, {D11_ARG##nin});                             \
  }                                                                                      \
  D11_MLX(name)

// nin fixed inputs (1..16), two results.
#define DOT11B_EXPORT_2(name, nin)                                                       \
  extern "C" DOT11B_API dot11b_array* mlf##name(dot11b_array** o2, D11_IN##nin) {        \
    return ::dot11b::rt::callMlf(#name, {o2}, {D11_ARG##nin});                           \
  }                                                                                      \
  D11_MLX(name)

// nin fixed inputs (1..16), three results.
#define DOT11B_EXPORT_3(name, nin)                                                       \
  extern "C" DOT11B_API dot11b_array* mlf##name(dot11b_array** o2, dot11b_array** o3, D11_IN##nin) { \
    return ::dot11b::rt::callMlf(#name, {o2, o3}, {D11_ARG##nin});                       \
  }                                                                                      \
  D11_MLX(name)

// nin fixed inputs (1..16), no result.
#define DOT11B_EXPORT_0(name, nin)                                                       \
  extern "C" DOT11B_API int mlf##name(D11_IN##nin) {                                     \
    return ::dot11b::rt::callMlfNoResult(#name, {D11_ARG##nin});                         \
  }                                                                                      \
  D11_MLX(name)

// No inputs, no result.
#define DOT11B_EXPORT_VOID(name)                                                         \
  extern "C" DOT11B_API int mlf##name(void) { return ::dot11b::rt::callMlfNoResult(#name, {}); } \
  D11_MLX(name)

// Variable input list (NULL-terminated), one result.
#define DOT11B_EXPORT_VARARGIN(name)                                                     \
  extern "C" DOT11B_API dot11b_array* mlf##name(dot11b_array* first, ...) {              \
    va_list rest;                                                                        \
    va_start(rest, first);                                                               \
    dot11b_array* r = ::dot11b::rt::callMlfVarargin(#name, 1, first, rest);              \
    va_end(rest);                                                                        \
    return r;                                                                            \
  }                                                                                      \
  D11_MLX(name)

// The variable-list forms: mlf (a result count, the first result), mlfN (a result count, every result)
// and mlfV (effects only).
#define D11_MLF_VARIABLE(name)                                                           \
  extern "C" DOT11B_API dot11b_array* mlf##name(int nargout, dot11b_array* first, ...) { \
    va_list rest;                                                                        \
    va_start(rest, first);                                                               \
    dot11b_array* r = ::dot11b::rt::callMlfVarargin(#name, nargout, first, rest);        \
    va_end(rest);                                                                        \
    return r;                                                                            \
  }
#define D11_MLFN(name)                                                                   \
  extern "C" DOT11B_API dot11b_array* mlfN##name(int nargout, dot11b_array* results[],   \
                                                 dot11b_array* first, ...) {             \
    va_list rest;                                                                        \
    va_start(rest, first);                                                               \
    dot11b_array* r = ::dot11b::rt::callMlfN(#name, nargout, results, first, rest);      \
    va_end(rest);                                                                        \
    return r;                                                                            \
  }
#define D11_MLFV(name)                                                                   \
  extern "C" DOT11B_API int mlfV##name(dot11b_array* first, ...) {                       \
    va_list rest;                                                                        \
    va_start(rest, first);                                                               \
    int r = ::dot11b::rt::callMlfV(#name, first, rest);                                  \
    va_end(rest);                                                                        \
    return r;                                                                            \
  }

// Variable input and result lists: mlf, mlfN, mlfV and mlx.
#define DOT11B_EXPORT_VARIABLE(name) D11_MLF_VARIABLE(name) D11_MLFN(name) D11_MLFV(name) D11_MLX(name)

// Variable input and result lists without the effects-only form: mlf, mlfN and mlx.
#define DOT11B_EXPORT_VARIABLE_N(name) D11_MLF_VARIABLE(name) D11_MLFN(name) D11_MLX(name)

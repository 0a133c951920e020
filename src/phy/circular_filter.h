// SPDX-License-Identifier: GPL-3.0-or-later
// Circular FIR filtering of a zero-stuffed chip stream, so that a frame played in a loop has no
// start-up or decay transient at its seam.
#pragma once

#include <cstddef>

#include "phy/types.h"

namespace dot11b::phy {

// The circular convolution of upsample(chips, factor) (each chip followed by factor - 1 zeros, so
// N = factor * chips.size() samples) with the coefficients h, rotated left by floor(h.size() / 2) to
// compensate the filter delay:
//   out[n] = sum_k h[k] * x[(n + floor(h.size() / 2) - k) mod N],  n = 0 .. N - 1.
// A filter longer than the row folds onto it, as a true circular convolution does. factor is in samples
// per chip (factor 1 filters the row itself); h holds the FIR numerator coefficients, earliest first.
// Exact to rounding in O(N log N) for any N. An empty chip row gives an empty result.
// Throws std::invalid_argument on factor 0, an empty h or a non-finite coefficient.
// The phases are filtered on `threads` cores (0: every core the machine has); the result is the same, bit for
// bit, on any number. The row returned has room for `capacity` samples, so that a caller can append to it
// without a copy.
ComplexRow circularFilter(const ComplexRow& chips, std::size_t factor, const RealRow& h, unsigned threads = 0,
                          std::size_t capacity = 0);

}  // namespace dot11b::phy

// SPDX-License-Identifier: GPL-3.0-or-later
// Maximal-length pseudo-noise sequences (PN9, PN15, ...) from a Fibonacci shift register.
#pragma once

#include <optional>

#include "phy/types.h"

namespace dot11b::mac {

// Every argument is optional and replaced by its default or clamp, so the generator never fails:
// order 9 (clamped 3..31), length 2^order - 1 (at least 1), no user inversion, seed all ones,
// no zero suppression (order 20 only).
struct PnOptions {
  std::optional<RealRow> order;        // a single value; two or more values mean "not given"
  std::optional<RealRow> length;       // [bits]; two or more values mean "not given"
  std::optional<double> userInvert;    // 1 inverts, anything else does not
  std::optional<RealRow> seed;         // a single number or a bit vector
  std::optional<double> zeroSuppression;
};

Bits pnGenerator(const PnOptions& options);

}  // namespace dot11b::mac

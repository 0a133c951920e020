// SPDX-License-Identifier: GPL-3.0-or-later
// What the spectrum-mask plot (VX_PlotMask) takes after its owner and title, from a measured mask.
#pragma once

#include "runtime/registry.h"
#include "rx/verify/spectrum_mask.h"

namespace dot11b::testbench {

// The frequency, level and limit rows (NaN where the mask sets no limit) and the two regions as the
// columns of a 2x2 matrix: each its limit and margin (NaN when not measured).
rt::Values maskPlotInputs(const rx::MaskResult& mask);

}  // namespace dot11b::testbench

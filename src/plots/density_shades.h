// SPDX-License-Identifier: GPL-3.0-or-later
// The colour scale of a density image: how dark each cell of a raster is drawn.
#pragma once

#include <vector>

#include "plots/raster.h"

namespace dot11b::plots {

// One shade per cell, row by row as the raster holds them: 0 (lightest) to 1 (darkest) for a cell that was
// hit, by the square root of its count, the crowded last percent of the cells all darkest; NaN for an
// empty cell, which is left clear.
std::vector<double> densityShades(const Raster& raster);

}  // namespace dot11b::plots

// SPDX-License-Identifier: GPL-3.0-or-later
// Standard normal numbers by Marsaglia and Tsang's ziggurat of 256 layers: a random 64-bit word picks a
// layer (its low 8 bits), a sign (bit 8) and a place across the layer (its top 53 bits); in 99 % of cases the
// place lies under the curve for certain and is the number. The rest, the layers' edges and the tail beyond
// the base layer, take further words.
#pragma once

#include <cstddef>
#include <cstdint>

#include "channel/xoshiro.h"

namespace dot11b::channel {

// out[k] from words[k], for each of the n words; those a layer's edge or the tail decides take further
// words from `more`, in the order of k.
void standardNormals(const std::uint64_t* words, double* out, std::size_t n, Xoshiro256& more);

}  // namespace dot11b::channel

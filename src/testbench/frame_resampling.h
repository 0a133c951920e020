// SPDX-License-Identifier: GPL-3.0-or-later
// A computed frame taken to another sample rate, its markers with it.
#pragma once

#include "phy/frame.h"

namespace dot11b::testbench {

// The frame taken from `fromRate` to `toRate` [Hz] by the receiver's band-limited resampler, as a radio
// is sent it; each marker sample is that of the nearest instant of the frame's own. Throws
// std::invalid_argument for a rate that is not finite and positive.
phy::Frame resampledFrame(const phy::Frame& frame, double fromRate, double toRate);

}  // namespace dot11b::testbench

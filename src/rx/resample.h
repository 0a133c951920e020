// Band-limited resampling of complex baseband samples to another rate: a Kaiser-windowed sinc
// interpolator, for captures whose rate is not 4 x 11 MHz (20 or 25 Msample/s from an SDR, or a
// frame at any oversampling rate).
#pragma once

#include "phy/types.h"

namespace dot11b::rx {

// The samples as taken at `toRate` [Hz] from a signal sampled at `fromRate`. When decimating, the band is
// cut to 90 % of the new rate's Nyquist band first. Throws std::invalid_argument for a rate that is not
// finite and positive.
ComplexRow resample(const ComplexRow& in, double fromRate, double toRate);

}  // namespace dot11b::rx

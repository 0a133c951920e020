// SPDX-License-Identifier: GPL-3.0-or-later
#include "testbench/frame_resampling.h"

#include <algorithm>
#include <cmath>

#include "rx/stream/resample.h"

namespace dot11b::testbench {

phy::Frame resampledFrame(const phy::Frame& frame, double fromRate, double toRate) {
  phy::Frame out;
  out.waveform = rx::resample(frame.waveform, fromRate, toRate);
  const auto nearest = [&](const Bits& marker) {
    Bits taken(out.waveform.size());
    for (std::size_t k = 0; k < taken.size() && !marker.empty(); ++k) {
      const auto at = static_cast<std::size_t>(std::llround(static_cast<double>(k) * fromRate / toRate));
      taken[k] = marker[std::min(at, marker.size() - 1)];
    }
    return taken;
  };
  out.marker1 = nearest(frame.marker1);
  out.marker2 = nearest(frame.marker2);
  return out;
}

}  // namespace dot11b::testbench

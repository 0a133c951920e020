// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver's front end, block by block: the capture taken to two samples a chip (22 Msample/s), then
// each sample averaged with the next, a filter matched to a chip with its first null at 11 MHz. A capture
// at 22 Msample/s is taken as it is, one at a whole multiple of it decimated, one at any other rate
// resampled. The blocks of a capture give exactly the stream that the whole capture gives at once.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "phy/types.h"
#include "rx/stream/decimator.h"
#include "rx/stream/resample.h"

namespace dot11b::rx {

// The capture sample rates the receiver takes [Hz]: from well below a chip a sample, where nothing decodes,
// to far above any radio's, so that a mistyped rate (20 for 20e6, or 1e300) is refused before the
// resampler sizes itself for it.
inline constexpr double kLowestSampleRate = 1e6;
inline constexpr double kHighestSampleRate = 1e9;

// Throws rt::OutOfRange (a std::invalid_argument) naming `name` and the receiver's range unless the rate
// lies within it.
void requireReceivableRate(std::string_view name, double sampleRate);

// `S`: the sample type (the receiver's, or double precision).
template <typename S = Complex>
class FrontEnd {
 public:
  // sampleRate: the capture's [Hz]; throws rt::OutOfRange outside the receiver's range.
  explicit FrontEnd(double sampleRate);
  // Appends to `stream` the samples that `n` more capture samples complete.
  void push(const S* samples, std::size_t n, std::vector<S>& stream);
  // The capture has ended: appends the samples that waited for what would have come after it.
  void finish(std::vector<S>& stream);

 private:
  void filter(const S* in, std::size_t n, std::vector<S>& stream);

  std::optional<Decimator<S>> decimator_;  // for a capture at a whole multiple of 22 Msample/s
  std::optional<Resampler<S>> resampler_;  // for one at any other rate
  std::vector<S> converted_;                // the block at 22 Msample/s
  std::optional<S> previous_;     // the filter's last input
};

extern template class FrontEnd<Complex>;
extern template class FrontEnd<Sample>;

}  // namespace dot11b::rx

// SPDX-License-Identifier: GPL-3.0-or-later
// Where a capture comes from, block by block: a file read as it goes, a radio, or samples in memory. The
// receiver pulls blocks as its reading reaches them, so that a capture never has to fit in memory whole.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

#include "phy/types.h"
#include "rx/stream/sample.h"

namespace dot11b::rx {

class SampleSource {
 public:
  virtual ~SampleSource() = default;
  // Up to `max` samples into `out`, the next of the capture; 0 once it has ended.
  virtual std::size_t read(Complex* out, std::size_t max) = 0;
  // The same in the receiver's precision, which the receiver reads by. A source whose samples come in a
  // narrower format (a file, a radio) converts them straight into it; this one rounds read()'s.
  virtual std::size_t readSamples(Sample* out, std::size_t max) {
    wide_.resize(max);
    const std::size_t n = read(wide_.data(), max);
    std::copy_n(wide_.begin(), n, out);
    return n;
  }

 private:
  ComplexRow wide_;
};

// Samples in memory (which must outlive the source).
class RowSource : public SampleSource {
 public:
  explicit RowSource(const ComplexRow& samples) : samples_(samples) {}
  std::size_t read(Complex* out, std::size_t max) override { return take(out, max); }
  std::size_t readSamples(Sample* out, std::size_t max) override { return take(out, max); }

 private:
  template <typename S>
  std::size_t take(S* out, std::size_t max) {
    const std::size_t n = std::min(max, samples_.size() - next_);
    std::copy_n(samples_.begin() + static_cast<std::ptrdiff_t>(next_), n, out);
    next_ += n;
    return n;
  }

  const ComplexRow& samples_;
  std::size_t next_ = 0;
};

}  // namespace dot11b::rx

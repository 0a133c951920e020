// SPDX-License-Identifier: GPL-3.0-or-later
// The data of the eye diagram (traces of n samples laid over one another, for I and for Q) and of the
// scatter diagram (every n-th sample in the I/Q plane).
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "plots/samples.h"

namespace dot11b::plots {

// Samples per trace, the time one trace spans (s) and the samples skipped before the first trace, as
// the eye view takes them: n at least 1, 0 <= offset <= n - 1, and a period of 0 taken as 1.
struct EyeSettings {
  double samplesPerTrace;
  double period;
  double offset;
};
struct ClampedEye {
  std::size_t n;
  double period;
  std::size_t offset;
};
ClampedEye clampEye(const EyeSettings& s);

// Samples per symbol and the samples skipped before the first symbol, as the scatter view takes them.
struct ClampedScatter {
  std::size_t n;
  std::size_t offset;
};
ClampedScatter clampScatter(double samplesPerSymbol, double offset);

struct Eye {
  // Trace t holds samples t*n .. (t+1)*n of `samples` (n + 1 points, so that it joins the next trace);
  // the last trace stops at the end of the waveform.
  std::size_t n = 1;
  std::size_t traces = 0;
  std::vector<double> time;  // n + 1 instants from 0 to the period, in `unit`
  Unit unit;
  std::span<const std::complex<double>> samples;  // the waveform from the offset on

  // Whether trace t has a point j (0 .. n): the last trace may lack its joining point.
  bool has(std::size_t t, std::size_t j) const { return t * n + j < samples.size(); }
  const std::complex<double>& at(std::size_t t, std::size_t j) const { return samples[t * n + j]; }
};

// The eye of `iq` (kept by reference: it must outlive the result). Throws std::invalid_argument when the
// waveform holds less than one trace after the offset.
Eye computeEye(const Samples& iq, const ClampedEye& settings);

// Every n-th sample, beginning `offset` samples in.
Samples scatterPoints(const Samples& iq, const ClampedScatter& settings);

// How far the eye's amplitude axes and both scatter axes reach on either side of zero: a little beyond the
// largest |I| or |Q|.
double axisAmplitude(const Samples& iq);

}  // namespace dot11b::plots

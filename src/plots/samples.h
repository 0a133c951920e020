// SPDX-License-Identifier: GPL-3.0-or-later
// What every view computes from: the samples of a waveform, and a unit with its scale.
#pragma once

#include <complex>
#include <string>
#include <vector>

namespace dot11b::plots {

using Samples = std::vector<std::complex<double>>;

// A unit and the factor that turns a value in the base unit (Hz, s) into it.
struct Unit {
  std::string name;
  double multiplier;
};

// The frequency unit that fits a sampling rate: "Hz", "kHz", "MHz" or "GHz".
Unit frequencyUnit(double sampleRate);
// The time unit that fits a duration (s): "S", "mS", "uS", "nS" or "pS".
Unit timeUnit(double seconds);

}  // namespace dot11b::plots

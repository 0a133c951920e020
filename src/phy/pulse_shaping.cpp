// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/pulse_shaping.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <string>

#include "runtime/shortest_text.h"

namespace dot11b::phy {

namespace {

constexpr double kPi = std::numbers::pi;

// |1 - (4 alpha t)^2| below this counts as the singular point 4 alpha |t| = 1. Instants such as
// t = 25/7 with alpha = 0.07 land there only to rounding (-4.4e-16), where the formula is 0/0 noise;
// the limit value is accurate to about this tolerance, the formula to about eps / tolerance.
constexpr double kSingularTolerance = 1.5e-8;

void requirePositiveFinite(const char* routine, const char* name, double value) {
  if (!(value > 0) || !std::isfinite(value)) {
    throw std::invalid_argument(std::string(routine) + ": " + name + " must be a finite value > 0, got " +
                                rt::shortestText(value));
  }
}

void requireCoefficientCount(const char* routine, std::size_t count) {
  if (count < 1) {
    throw std::invalid_argument(std::string(routine) + ": the coefficient count must be at least 1, got 0");
  }
}

// Sample instants in chips: (-(n - 1)/2 .. (n - 1)/2 in steps of 1) / samplesPerChip.
double instant(std::size_t index, std::size_t count, double samplesPerChip) {
  const double midPoint = (static_cast<double>(count) - 1.0) / 2.0;
  return (static_cast<double>(index) - midPoint) / samplesPerChip;
}

}  // namespace

RealRow filterRootCosine(std::size_t numTaps, double alpha, double sampPerSymb) {
  requireCoefficientCount("Filter_RootCosine", numTaps);
  requirePositiveFinite("Filter_RootCosine", "roll-off factor alpha", alpha);
  requirePositiveFinite("Filter_RootCosine", "samples per symbol", sampPerSymb);
  // Root-raised-cosine impulse response (4 alpha / pi)(cos((1 + alpha) pi t) + sin((1 - alpha) pi t) /
  // (4 alpha t)) / (1 - (4 alpha t)^2), scaled by 1 / sqrt(s); the scale cancels in the normalisation.
  const double gain = (4 * alpha / kPi) / std::sqrt(sampPerSymb);
  RealRow coef(numTaps);
  for (std::size_t i = 0; i < numTaps; ++i) {
    const double t = instant(i, numTaps, sampPerSymb);
    const double denominator = 1 - (4 * alpha * t) * (4 * alpha * t);
    if (t == 0) {
      coef[i] = gain * (1 + (kPi / 4) * (1 / alpha - 1));
    } else if (std::abs(denominator) < kSingularTolerance) {
      const double angle = kPi * std::abs(t) + kPi / 4;
      coef[i] = gain * ((kPi / 4) * std::sin(angle) - 0.5 * std::cos(angle));
    } else {
      const double numerator =
          std::cos(kPi * t * (1 + alpha)) + std::sin(kPi * t * (1 - alpha)) / (4 * alpha) / t;
      coef[i] = gain * numerator / denominator;
    }
  }
  double sum = 0;
  for (const double c : coef) sum += c;
  if (sum == 0 || !std::isfinite(sum)) {
    throw std::invalid_argument("Filter_RootCosine: the coefficients of " + std::to_string(numTaps) +
                                " taps, alpha " + rt::shortestText(alpha) + " sum to " + rt::shortestText(sum) +
                                " and cannot be normalised to unit gain");
  }
  for (double& c : coef) c /= sum;
  return coef;
}

RealRow filterGaussian(std::size_t numCoeff, double bT, double oversamplingRate) {
  requireCoefficientCount("Filter_gaussian", numCoeff);
  requirePositiveFinite("Filter_gaussian", "bandwidth-time product bT", bT);
  requirePositiveFinite("Filter_gaussian", "oversampling rate", oversamplingRate);
  // A Gaussian of standard deviation sigma (in chips) has its 3 dB bandwidth at bT / T; the chip of
  // duration T = 1 through it gives the difference of two error functions.
  constexpr double kChip = 1.0;
  const double sigma = std::sqrt(std::log(2.0)) / (2 * kPi * bT);
  const double k = std::sqrt(2.0) / (4 * sigma * kChip);
  RealRow output(numCoeff);
  for (std::size_t i = 0; i < numCoeff; ++i) {
    const double time = instant(i, numCoeff, oversamplingRate);
    output[i] = std::erf(k * (kChip - 2 * time)) + std::erf(k * (kChip + 2 * time));
  }
  return output;
}

ComplexRow applyDacRes(const ComplexRow& wave, double numBits) {
  if (std::isnan(numBits)) {
    throw std::invalid_argument("ApplyDacRes: the DAC resolution is not a number");
  }
  if (numBits <= 2) return wave;
  const double bits = std::min(32.0, numBits);
  double largest = 0;
  bool finite = true;
  for (const Complex& sample : wave) {
    finite = finite && std::isfinite(sample.real()) && std::isfinite(sample.imag());
    largest = std::max(largest, std::max(std::abs(sample.real()), std::abs(sample.imag())));
  }
  if (!finite) {
    throw std::invalid_argument("ApplyDacRes: the waveform holds samples that are not finite");
  }
  // A silent waveform has nothing to scale to and is exact at any resolution.
  if (largest == 0) return wave;
  const double scale = (std::pow(2.0, bits - 1) - 1) / largest;
  ComplexRow resWave(wave.size());
  for (std::size_t i = 0; i < wave.size(); ++i) {
    resWave[i] = {std::round(wave[i].real() * scale) / scale, std::round(wave[i].imag() * scale) / scale};
  }
  return resWave;
}

}  // namespace dot11b::phy

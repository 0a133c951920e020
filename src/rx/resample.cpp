#include "rx/resample.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace dot11b::rx {

namespace {

constexpr int kHalfTaps = 16;        // input samples each side of the output instant (at unit ratio)
constexpr int kTableSteps = 256;     // kernel samples per input sample, linearly interpolated
constexpr double kKaiserBeta = 8.0;  // about 80 dB of stop-band attenuation

double besselI0(double x) {
  double sum = 1, term = 1;
  for (int k = 1; k < 50; ++k) {
    term *= (x / (2 * k)) * (x / (2 * k));
    sum += term;
    if (term < 1e-17 * sum) break;
  }
  return sum;
}

// The kernel h(x) = 2 fc sinc(2 fc x) w(x / halfWidth) at x = i / kTableSteps, i = 0 .. halfWidth * steps.
std::vector<double> kernelTable(double cutoff, double halfWidth) {
  const auto entries = static_cast<std::size_t>(std::ceil(halfWidth * kTableSteps)) + 2;
  std::vector<double> table(entries);
  const double norm = besselI0(kKaiserBeta);
  for (std::size_t i = 0; i < entries; ++i) {
    const double x = static_cast<double>(i) / kTableSteps;
    const double u = x / halfWidth;
    const double window = u < 1 ? besselI0(kKaiserBeta * std::sqrt(1 - u * u)) / norm : 0.0;
    const double arg = 2 * cutoff * x;
    const double sinc = arg == 0 ? 1.0 : std::sin(std::numbers::pi * arg) / (std::numbers::pi * arg);
    table[i] = 2 * cutoff * sinc * window;
  }
  return table;
}

// The taps of one output instant t, on the input samples first .. first + taps.size() - 1.
struct Taps {
  long first = 0;
  std::vector<double> weights;
};

Taps tapsAt(double t, double halfWidth, const std::vector<double>& table, long lowest, long highest) {
  Taps taps;
  taps.first = std::max(lowest, static_cast<long>(std::ceil(t - halfWidth)));
  const long end = std::min(highest, static_cast<long>(std::floor(t + halfWidth)));
  for (long k = taps.first; k <= end; ++k) {
    const double at = std::abs(t - static_cast<double>(k)) * kTableSteps;
    const auto i = static_cast<std::size_t>(at);
    const double frac = at - static_cast<double>(i);
    taps.weights.push_back(table[i] + frac * (table[i + 1] - table[i]));
  }
  return taps;
}

Complex apply(const Taps& taps, const ComplexRow& in, long offset) {
  double re = 0, im = 0;
  const Complex* x = in.data() + taps.first + offset;
  for (std::size_t k = 0; k < taps.weights.size(); ++k) {
    re += taps.weights[k] * x[k].real();
    im += taps.weights[k] * x[k].imag();
  }
  return {re, im};
}

// q when `step` is p/q for a q of at most 64 (22 to 44 Msample/s: 1/2; 20 to 44: 5/11), else 0.
long phasePeriod(double step) {
  for (long q = 1; q <= 64; ++q)
    if (std::abs(step * static_cast<double>(q) - std::round(step * static_cast<double>(q))) < 1e-9) return q;
  return 0;
}

}  // namespace

ComplexRow resample(const ComplexRow& in, double fromRate, double toRate) {
  if (!(fromRate > 0) || !(toRate > 0) || !std::isfinite(fromRate) || !std::isfinite(toRate)) {
    throw std::invalid_argument("resample: the sample rates must be finite and positive");
  }
  if (in.empty() || fromRate == toRate) return in;
  const double step = fromRate / toRate;  // input samples per output sample
  // Cut-off in cycles per input sample; the kernel widens with the decimation so that it keeps its taps.
  const double cutoff = 0.5 * std::min(1.0, 1.0 / step) * (step > 1 ? 0.9 : 1.0);
  const double halfWidth = kHalfTaps * std::max(1.0, step);
  const std::vector<double> table = kernelTable(cutoff, halfWidth);
  const auto outCount = static_cast<std::size_t>(std::floor(static_cast<double>(in.size() - 1) / step)) + 1;
  ComplexRow out(outCount);
  const auto last = static_cast<long>(in.size()) - 1;
  // With a rational ratio the outputs repeat their taps every q outputs, q x step input samples on: away
  // from the ends, each phase's taps are computed once.
  const long period = phasePeriod(step);
  std::vector<Taps> phases;
  const long advance = std::lround(step * static_cast<double>(period));
  for (long j = 0; j < period; ++j) phases.push_back(tapsAt(static_cast<double>(j) * step, halfWidth, table, LONG_MIN, LONG_MAX));
  for (std::size_t m = 0; m < outCount; ++m) {
    const double t = static_cast<double>(m) * step;
    if (period > 0) {
      const Taps& taps = phases[m % static_cast<std::size_t>(period)];
      const long offset = static_cast<long>(m / static_cast<std::size_t>(period)) * advance;
      if (taps.first + offset >= 0 && taps.first + offset + static_cast<long>(taps.weights.size()) - 1 <= last) {
        out[m] = apply(taps, in, offset);
        continue;
      }
    }
    out[m] = apply(tapsAt(t, halfWidth, table, 0, last), in, 0);
  }
  return out;
}

}  // namespace dot11b::rx

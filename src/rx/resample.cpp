#include "rx/resample.h"

#include <algorithm>
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
  for (std::size_t m = 0; m < outCount; ++m) {
    const double t = static_cast<double>(m) * step;
    const long first = std::max(0L, static_cast<long>(std::ceil(t - halfWidth)));
    const long end = std::min(last, static_cast<long>(std::floor(t + halfWidth)));
    double re = 0, im = 0;
    for (long k = first; k <= end; ++k) {
      const double at = std::abs(t - static_cast<double>(k)) * kTableSteps;
      const auto i = static_cast<std::size_t>(at);
      const double frac = at - static_cast<double>(i);
      const double h = table[i] + frac * (table[i + 1] - table[i]);
      re += h * in[static_cast<std::size_t>(k)].real();
      im += h * in[static_cast<std::size_t>(k)].imag();
    }
    out[m] = Complex(re, im);
  }
  return out;
}

}  // namespace dot11b::rx

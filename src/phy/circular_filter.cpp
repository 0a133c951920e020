#include "phy/circular_filter.h"

#include "phy/fft_plan.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace dot11b::phy {

namespace {

constexpr const char* kWho = "circularFilter";

// Plain complex product: the finite spectra need none of the infinity and NaN recovery that the
// operator* of std::complex performs, which would keep the loop from being vectorised.
Complex multiply(const Complex& a, const Complex& b) {
  return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// Smallest n >= minimum with no prime factor above 7, the sizes FFTW transforms fastest. Such numbers
// lie close together, so the search is short.
std::size_t smoothSizeAtLeast(std::size_t minimum) {
  for (std::size_t n = std::max<std::size_t>(minimum, 1);; ++n) {
    std::size_t rest = n;
    for (std::size_t prime : {2, 3, 5, 7}) {
      while (rest % prime == 0) rest /= prime;
    }
    if (rest == 1) return n;
  }
}

struct FoldedFilter {
  RealRow taps;
  std::size_t delay;  // left rotation still to apply [samples]
};

// A filter no longer than the row is used as it is. A longer one is folded onto the row first, with its
// delay already applied: g[(k - delay) mod N] += h[k].
FoldedFilter foldOntoRow(const RealRow& h, std::size_t rowLength) {
  const std::size_t delay = h.size() / 2;
  if (h.size() <= rowLength) return {h, delay};
  RealRow folded(rowLength, 0.0);
  const std::size_t shift = rowLength - delay % rowLength;
  for (std::size_t k = 0; k < h.size(); ++k) folded[(k + shift) % rowLength] += h[k];
  return {folded, 0};
}

void validate(const ComplexRow& chips, std::size_t factor, const RealRow& h) {
  if (factor == 0) throw std::invalid_argument("circularFilter: the upsampling factor is 0");
  if (h.empty()) throw std::invalid_argument("circularFilter: the filter has no coefficients");
  for (std::size_t k = 0; k < h.size(); ++k) {
    if (!std::isfinite(h[k])) {
      throw std::invalid_argument("circularFilter: coefficient " + std::to_string(k + 1) + " is not finite");
    }
  }
  for (std::size_t m = 0; m < chips.size(); ++m) {
    if (!std::isfinite(chips[m].real()) || !std::isfinite(chips[m].imag())) {
      throw std::invalid_argument("circularFilter: chip " + std::to_string(m + 1) + " is not finite");
    }
  }
  if (!chips.empty() && factor > SIZE_MAX / chips.size()) {
    throw std::invalid_argument("circularFilter: " + std::to_string(chips.size()) + " chips times factor " +
                                std::to_string(factor) + " exceed the addressable size");
  }
}

}  // namespace

ComplexRow circularFilter(const ComplexRow& chips, std::size_t factor, const RealRow& h) {
  validate(chips, factor, h);
  if (chips.empty()) return {};
  const std::size_t rowLength = chips.size() * factor;
  const FoldedFilter filter = foldOntoRow(h, rowLength);

  // Polyphase form: the linear convolution at samples p, p + F, p + 2F, ... is the convolution of the
  // chips with the taps p, p + F, p + 2F, ... So every transform is as long as the chip row (plus the
  // taps of one phase), never as long as the zero-stuffed sample row, which is not built at all.
  const std::size_t phaseTaps = (filter.taps.size() + factor - 1) / factor;
  const std::size_t points = smoothSizeAtLeast(chips.size() + phaseTaps - 1);
  const double inverseScale = 1.0 / static_cast<double>(points);

  ComplexRow chipSpectrum(points);
  std::copy(chips.begin(), chips.end(), chipSpectrum.begin());
  FftPlan(kWho, [&] {
    return fftw_plan_dft_1d(fftSize(points, kWho), asFftw(chipSpectrum.data()), asFftw(chipSpectrum.data()),
                            FFTW_FORWARD, FFTW_ESTIMATE);
  }).execute();

  // The taps of one phase are transformed real-to-complex in place: they occupy the front of the
  // points/2 + 1 complex values that receive the half spectrum.
  ComplexRow tapSpectrum(points / 2 + 1);
  double* phaseTapRow = reinterpret_cast<double*>(tapSpectrum.data());
  const FftPlan tapTransform(kWho, [&] {
    return fftw_plan_dft_r2c_1d(fftSize(points, kWho), phaseTapRow, asFftw(tapSpectrum.data()), FFTW_ESTIMATE);
  });

  // Row p of `phases` receives the product of the spectra of phase p, then its convolution. A filter shorter
  // than the factor leaves the rows of the phases without taps at 0.
  ComplexRow phases(factor * points);
  std::vector<std::size_t> convolutionLength(factor, 0);
  for (std::size_t phase = 0; phase < std::min(factor, filter.taps.size()); ++phase) {
    const std::size_t tapsOfPhase = (filter.taps.size() - phase + factor - 1) / factor;
    convolutionLength[phase] = chips.size() + tapsOfPhase - 1;
    std::fill(tapSpectrum.begin(), tapSpectrum.end(), Complex(0, 0));
    for (std::size_t r = 0; r < tapsOfPhase; ++r) phaseTapRow[r] = filter.taps[r * factor + phase];
    tapTransform.execute();
    Complex* row = phases.data() + phase * points;
    // The upper half of a real row's spectrum is the conjugate mirror of the lower half.
    for (std::size_t f = 0; f < points; ++f) {
      const Complex tapBin = f <= points / 2 ? tapSpectrum[f] : std::conj(tapSpectrum[points - f]);
      row[f] = multiply(chipSpectrum[f], tapBin * inverseScale);
    }
  }
  ComplexRow().swap(tapSpectrum);
  ComplexRow().swap(chipSpectrum);
  const int size = fftSize(points, kWho);
  FftPlan(kWho, [&] {
    return fftw_plan_many_dft(1, &size, fftSize(factor, kWho), asFftw(phases.data()), nullptr, 1, size,
                              asFftw(phases.data()), nullptr, 1, size, FFTW_BACKWARD, FFTW_ESTIMATE);
  }).execute();

  // Linear-convolution sample j = q F + p is sample q of phase p; it goes to (j - delay) mod N, so the
  // samples are read in order from j = delay, and the tail beyond N folds onto the start of the row.
  const auto linearSample = [&](std::size_t j) {
    const std::size_t phase = j % factor, q = j / factor;
    return q < convolutionLength[phase] ? phases[phase * points + q] : Complex(0, 0);
  };
  ComplexRow filtered(rowLength);
  std::size_t phase = filter.delay % factor, q = filter.delay / factor;
  for (std::size_t n = 0; n < rowLength; ++n) {
    filtered[n] = phases[phase * points + q];  // j < N: inside every phase's convolution
    if (++phase == factor) {
      phase = 0;
      if (++q == chips.size()) q = 0;  // j reached N: continue from sample 0
    }
  }
  for (std::size_t j = rowLength; j < rowLength + filter.taps.size() - 1; ++j) {
    filtered[(j - filter.delay) % rowLength] += linearSample(j);
  }
  return filtered;
}

}  // namespace dot11b::phy

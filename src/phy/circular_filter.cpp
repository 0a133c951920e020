#include "phy/circular_filter.h"

#include "phy/fft_plan.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace dot11b::phy {

namespace {

constexpr const char* kWho = "circularFilter";
// Rows of fewer samples are filtered on one core unless more are asked for.
constexpr std::size_t kParallelSamples = 1 << 18;

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

ComplexRow circularFilter(const ComplexRow& chips, std::size_t factor, const RealRow& h, unsigned threads,
                          std::size_t capacity) {
  validate(chips, factor, h);
  if (chips.empty()) return {};
  const std::size_t rowLength = chips.size() * factor;
  const FoldedFilter filter = foldOntoRow(h, rowLength);

  // Polyphase form: the linear convolution at samples p, p + F, p + 2F, ... is the convolution of the
  // chips with the taps p, p + F, p + 2F, ... So every transform is as long as the chip row (plus the
  // taps of one phase), never as long as the zero-stuffed sample row, which is not built at all.
  const std::size_t phaseTaps = (filter.taps.size() + factor - 1) / factor;
  const std::size_t points = smoothSizeAtLeast(chips.size() + phaseTaps - 1);
  const int size = fftSize(points, kWho);
  const double inverseScale = 1.0 / static_cast<double>(points);

  FftwBuffer chipSpectrum(points);
  std::fill(std::copy(chips.begin(), chips.end(), chipSpectrum.data()), chipSpectrum.data() + points, Complex(0, 0));
  FftPlan(kWho, [&] {
    return fftw_plan_dft_1d(size, asFftw(chipSpectrum.data()), asFftw(chipSpectrum.data()), FFTW_FORWARD, FFTW_ESTIMATE);
  }).execute();

  // One plan of each kind serves every phase, on each worker's own buffers (FFTW's new-array execute):
  // the taps of a phase are transformed real-to-complex in place, in the front of the points/2 + 1 complex
  // values that receive the half spectrum; the product of the spectra is transformed back in place.
  // A short row is not worth starting threads for.
  const unsigned available = threads != 0 ? threads : points * factor < kParallelSamples ? 1 : std::thread::hardware_concurrency();
  const std::size_t workers = std::clamp<std::size_t>(available, 1, std::min(factor, filter.taps.size()));
  std::vector<FftwBuffer> tapSpectra, products;
  for (std::size_t w = 0; w < workers; ++w) {
    tapSpectra.emplace_back(points / 2 + 1);
    products.emplace_back(points);
  }
  const FftPlan tapTransform(kWho, [&] {
    return fftw_plan_dft_r2c_1d(size, reinterpret_cast<double*>(tapSpectra[0].data()), asFftw(tapSpectra[0].data()),
                                FFTW_ESTIMATE);
  });
  const FftPlan inverseTransform(kWho, [&] {
    return fftw_plan_dft_1d(size, asFftw(products[0].data()), asFftw(products[0].data()), FFTW_BACKWARD, FFTW_ESTIMATE);
  });

  // Linear-convolution sample j = q F + p is sample q of phase p; it goes to (j - delay) mod N. Samples
  // j < N land on distinct places, one phase apart, and are written by the worker of their phase. The tail
  // j >= N folds onto the start of the row: kept per phase and added afterwards, in order of j.
  ComplexRow filtered;
  filtered.reserve(std::max(capacity, rowLength));
  filtered.resize(rowLength);
  std::vector<ComplexRow> tails(factor);
  const auto filterPhase = [&](std::size_t phase, std::size_t worker) {
    const std::size_t tapsOfPhase = (filter.taps.size() - phase + factor - 1) / factor;
    const std::size_t convolutionLength = chips.size() + tapsOfPhase - 1;
    Complex* tapSpectrum = tapSpectra[worker].data();
    double* phaseTapRow = reinterpret_cast<double*>(tapSpectrum);
    std::fill(tapSpectrum, tapSpectrum + points / 2 + 1, Complex(0, 0));
    for (std::size_t r = 0; r < tapsOfPhase; ++r) phaseTapRow[r] = filter.taps[r * factor + phase];
    fftw_execute_dft_r2c(tapTransform.plan(), phaseTapRow, asFftw(tapSpectrum));
    Complex* row = products[worker].data();
    // The upper half of a real row's spectrum is the conjugate mirror of the lower half.
    for (std::size_t f = 0; f < points; ++f) {
      const Complex tapBin = f <= points / 2 ? tapSpectrum[f] : std::conj(tapSpectrum[points - f]);
      row[f] = multiply(chipSpectrum.data()[f], tapBin * inverseScale);
    }
    fftw_execute_dft(inverseTransform.plan(), asFftw(row), asFftw(row));
    // Sample q goes to (q F + phase - delay) mod N: one factor further each time, wrapping once.
    std::size_t n = (phase + rowLength - filter.delay % rowLength) % rowLength;
    for (std::size_t q = 0; q < chips.size(); ++q) {
      filtered[n] = row[q];
      n += factor;
      if (n >= rowLength) n -= rowLength;
    }
    tails[phase].assign(row + chips.size(), row + convolutionLength);
  };
  // A filter shorter than the factor leaves the phases without taps at 0.
  const std::size_t phasesWithTaps = std::min(factor, filter.taps.size());
  for (std::size_t phase = phasesWithTaps; phase < factor; ++phase) {
    for (std::size_t q = 0; q < chips.size(); ++q) filtered[(q * factor + phase + rowLength - filter.delay) % rowLength] = 0;
  }
  std::vector<std::thread> pool;
  for (std::size_t w = 1; w < workers; ++w) {
    pool.emplace_back([&, w] {
      for (std::size_t phase = w; phase < phasesWithTaps; phase += workers) filterPhase(phase, w);
    });
  }
  for (std::size_t phase = 0; phase < phasesWithTaps; phase += workers) filterPhase(phase, 0);
  for (std::thread& t : pool) t.join();

  for (std::size_t j = rowLength; j < rowLength + filter.taps.size() - 1; ++j) {
    const std::size_t phase = j % factor, q = j / factor - chips.size();
    if (q < tails[phase].size()) filtered[(j - filter.delay) % rowLength] += tails[phase][q];
  }
  return filtered;
}

}  // namespace dot11b::phy

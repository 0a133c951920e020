// SPDX-License-Identifier: GPL-3.0-or-later
#include <algorithm>

#include "phy/polyphase_filters.h"
#include "phy/simd/avx2_clone.h"

namespace dot11b::phy {

namespace {

constexpr const char* kWho = "circularFilter";
// Block transforms at least this long, and at least this many times as long as a phase's taps: short
// enough that a block's phases stay in the core's cache, long enough that little of each transform is
// spent on the overlap.
constexpr std::size_t kMinBlockPoints = 4096;
constexpr std::size_t kPointsPerTap = 4;

// Plain complex product: the finite spectra need none of the infinity and NaN recovery that the
// operator* of std::complex performs, which would keep the loop from being vectorised.
Complex multiply(const Complex& a, const Complex& b) {
  return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// product[f] = a[f] b[f] for f = 0 .. n - 1.
DOT11B_ALSO_AVX2 void multiplyInto(const Complex* a, const Complex* b, std::size_t n, Complex* product) {
  for (std::size_t f = 0; f < n; ++f) product[f] = multiply(a[f], b[f]);
}

// Smallest n >= minimum with no prime factor above 7, the sizes FFTW transforms fastest, and a multiple
// of 4, so that rows of n values placed one after another keep the alignment of the first. Such numbers
// lie close together, so the search is short.
std::size_t smoothSizeAtLeast(std::size_t minimum) {
  for (std::size_t n = std::max<std::size_t>((minimum + 3) / 4 * 4, 4);; n += 4) {
    std::size_t rest = n;
    for (std::size_t prime : {2, 3, 5, 7}) {
      while (rest % prime == 0) rest /= prime;
    }
    if (rest == 1) return n;
  }
}

}  // namespace

// Buffers of one worker: the block's chips, their spectrum, a product of spectra and the filtered block of
// every phase.
struct FftBlockFilter::Workspace {
  explicit Workspace(std::size_t points, std::size_t factor)
      : chips(points), chipSpectrum(points), product(points), phases(points * factor) {}
  FftwBuffer chips, chipSpectrum, product, phases;
};

FftBlockFilter::FftBlockFilter(const PolyphaseRow& row) : row_(row) {
  overlap_ = row.phaseTaps() - 1;
  points_ = std::min(smoothSizeAtLeast(std::max(kMinBlockPoints, kPointsPerTap * row.phaseTaps())),
                     smoothSizeAtLeast(row.chips.size() + overlap_));
  newChips_ = points_ - overlap_;
  forward_ = keptTransform(points_, FFTW_FORWARD, kWho);
  inverse_ = keptTransform(points_, FFTW_BACKWARD, kWho);
  FftwBuffer from(points_);
  // The spectra of the phases' taps, with the inverse transform's 1/points scale in them.
  for (const RealRow& taps : row.phases(1.0 / static_cast<double>(points_))) {
    std::fill(std::copy(taps.begin(), taps.end(), from.data()), from.data() + points_, Complex(0, 0));
    fftw_execute_dft(forward_, asFftw(from.data()), asFftw(tapSpectra_.emplace_back(points_).data()));
  }
}

std::size_t FftBlockFilter::blocks() const { return (row_.chips.size() + newChips_ - 1) / newChips_; }

void FftBlockFilter::run(std::size_t firstBlock, std::size_t endBlock, Complex* out) const {
  Workspace work(points_, row_.factor);
  for (std::size_t block = firstBlock; block < endBlock; ++block) filterBlock(block, work, out);
}

void FftBlockFilter::filterBlock(std::size_t block, Workspace& work, Complex* out) const {
  const std::size_t n = row_.chips.size();
  const std::size_t firstChip = block * newChips_;
  // Chips firstChip - overlap .. firstChip + points - overlap - 1, taken circularly.
  std::size_t m = (firstChip + n - overlap_ % n) % n;
  for (std::size_t i = 0; i < points_; ++i) {
    work.chips.data()[i] = row_.chips[m];
    if (++m == n) m = 0;
  }
  const Complex* spectrum = work.chipSpectrum.data();
  fftw_execute_dft(forward_, asFftw(work.chips.data()), asFftw(work.chipSpectrum.data()));
  Complex* product = work.product.data();
  for (std::size_t phase = 0; phase < row_.factor; ++phase) {
    const Complex* taps = tapSpectra_[phase].data();
    multiplyInto(spectrum, taps, points_, product);
    fftw_execute_dft(inverse_, asFftw(product), asFftw(work.phases.data() + phase * points_));
  }
  // The first `overlap` outputs of each phase wrapped round the block and are not kept.
  row_.place(firstChip, std::min(newChips_, n - firstChip), work.phases.data() + overlap_, points_, out);
}

}  // namespace dot11b::phy

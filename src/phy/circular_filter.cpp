#include "phy/circular_filter.h"

#include "phy/fft_plan.h"
#include "phy/sample_row.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace dot11b::phy {

namespace {

constexpr const char* kWho = "circularFilter";
// Rows of fewer samples are filtered on one core unless more are asked for.
constexpr std::size_t kParallelSamples = 1 << 18;
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

// The polyphase filter in overlap-save blocks. Linear-convolution sample j = q F + p is the circular
// convolution of the chips with the taps p, p + F, p + 2F, ... (phase p) at chip q, so the zero-stuffed
// row is never built. Each block transforms `points` chips, the last `overlap` of which the previous block
// also read, and yields `points - overlap` new chips of every phase.
class BlockFilter {
 public:
  BlockFilter(const ComplexRow& chips, std::size_t factor, const FoldedFilter& filter)
      : chips_(chips), factor_(factor), delay_(filter.delay), rowLength_(chips.size() * factor) {
    const std::size_t phaseTaps = (filter.taps.size() + factor - 1) / factor;
    overlap_ = phaseTaps - 1;
    points_ = std::min(smoothSizeAtLeast(std::max(kMinBlockPoints, kPointsPerTap * phaseTaps)),
                       smoothSizeAtLeast(chips.size() + overlap_));
    newChips_ = points_ - overlap_;
    const int size = fftSize(points_, kWho);
    // One plan of each kind serves every block on every worker's buffers (FFTW's new-array execute).
    FftwBuffer planned(points_);
    forward_ = std::make_unique<FftPlan>(kWho, [&] {
      return fftw_plan_dft_1d(size, asFftw(planned.data()), asFftw(planned.data()), FFTW_FORWARD, FFTW_ESTIMATE);
    });
    inverse_ = std::make_unique<FftPlan>(kWho, [&] {
      return fftw_plan_dft_1d(size, asFftw(planned.data()), asFftw(planned.data()), FFTW_BACKWARD, FFTW_ESTIMATE);
    });
    // The spectra of the phases' taps, with the inverse transform's 1/points scale in them.
    const double inverseScale = 1.0 / static_cast<double>(points_);
    for (std::size_t phase = 0; phase < factor; ++phase) {
      Complex* spectrum = tapSpectra_.emplace_back(points_).data();
      std::fill(spectrum, spectrum + points_, Complex(0, 0));
      for (std::size_t k = phase, r = 0; k < filter.taps.size(); k += factor, ++r) spectrum[r] = filter.taps[k] * inverseScale;
      fftw_execute_dft(forward_->plan(), asFftw(spectrum), asFftw(spectrum));
    }
  }

  std::size_t blocks() const { return (chips_.size() + newChips_ - 1) / newChips_; }

  // Buffers of one worker: the block's chip spectrum and the filtered block of every phase.
  struct Workspace {
    explicit Workspace(const BlockFilter& f) : chipSpectrum(f.points_), phases(f.points_ * f.factor_) {}
    FftwBuffer chipSpectrum, phases;
  };

  // Filters blocks [first, end) into the row: each writes a stretch of the row that no other block writes.
  void run(std::size_t first, std::size_t end, Complex* row) const {
    Workspace work(*this);
    for (std::size_t block = first; block < end; ++block) filterBlock(block, work, row);
  }

 private:
  void filterBlock(std::size_t block, Workspace& work, Complex* row) const {
    const std::size_t n = chips_.size();
    const std::size_t firstChip = block * newChips_;
    Complex* spectrum = work.chipSpectrum.data();
    // Chips firstChip - overlap .. firstChip + points - overlap - 1, taken circularly.
    std::size_t m = (firstChip + n - overlap_ % n) % n;
    for (std::size_t i = 0; i < points_; ++i) {
      spectrum[i] = chips_[m];
      if (++m == n) m = 0;
    }
    fftw_execute_dft(forward_->plan(), asFftw(spectrum), asFftw(spectrum));
    for (std::size_t phase = 0; phase < factor_; ++phase) {
      Complex* filtered = work.phases.data() + phase * points_;
      const Complex* taps = tapSpectra_[phase].data();
      for (std::size_t f = 0; f < points_; ++f) filtered[f] = multiply(spectrum[f], taps[f]);
      fftw_execute_dft(inverse_->plan(), asFftw(filtered), asFftw(filtered));
    }
    // Sample j = q F + phase goes to (j - delay) mod N: consecutive j to consecutive places, wrapping once.
    const std::size_t count = std::min(newChips_, n - firstChip);
    std::size_t place = (firstChip * factor_ + rowLength_ - delay_ % rowLength_) % rowLength_;
    for (std::size_t i = overlap_; i < overlap_ + count; ++i) {
      for (std::size_t phase = 0; phase < factor_; ++phase) {
        row[place] = work.phases.data()[phase * points_ + i];
        if (++place == rowLength_) place = 0;
      }
    }
  }

  const ComplexRow& chips_;
  std::size_t factor_, delay_, rowLength_;
  std::size_t overlap_ = 0, points_ = 0, newChips_ = 0;
  std::unique_ptr<FftPlan> forward_, inverse_;
  std::vector<FftwBuffer> tapSpectra_;
};

}  // namespace

ComplexRow circularFilter(const ComplexRow& chips, std::size_t factor, const RealRow& h, unsigned threads,
                          std::size_t capacity) {
  validate(chips, factor, h);
  if (chips.empty()) return {};
  const std::size_t rowLength = chips.size() * factor;
  const BlockFilter filter(chips, factor, foldOntoRow(h, rowLength));

  ComplexRow filtered = reservedRow(std::max(capacity, rowLength));
  filtered.resize(rowLength);
  // Each worker filters a stretch of consecutive blocks; a short row is not worth starting threads for.
  const unsigned available = threads != 0                      ? threads
                             : rowLength < kParallelSamples ? 1
                                                               : std::thread::hardware_concurrency();
  const std::size_t blocks = filter.blocks();
  const std::size_t workers = std::clamp<std::size_t>(available, 1, blocks);
  std::vector<std::thread> pool;
  for (std::size_t w = 1; w < workers; ++w) {
    pool.emplace_back([&, w] { filter.run(w * blocks / workers, (w + 1) * blocks / workers, filtered.data()); });
  }
  filter.run(0, blocks / workers, filtered.data());
  for (std::thread& t : pool) t.join();
  return filtered;
}

}  // namespace dot11b::phy

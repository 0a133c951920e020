// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/fft_plan.h"

#include <climits>
#include <map>
#include <memory>
#include <utility>

namespace dot11b::phy {

std::mutex& fftwPlannerMutex() {
  static std::mutex mutex;
  return mutex;
}

namespace {

template <typename T>
typename Fftw<T>::Plan kept(std::size_t n, int sign, const char* who) {
  static std::map<std::pair<std::size_t, int>, std::unique_ptr<BasicFftPlan<T>>> kept;
  static std::mutex keptMutex;
  const std::lock_guard lock(keptMutex);
  std::unique_ptr<BasicFftPlan<T>>& plan = kept[{n, sign}];
  if (!plan) {
    const int size = fftSize(n, who);
    // Planned with FFTW_ESTIMATE: it plans in microseconds, where FFTW_MEASURE takes about 85 ms for the
    // largest frame's blocks and executes them no faster.
    BasicFftwBuffer<T> from(n), to(n);
    plan = std::make_unique<BasicFftPlan<T>>(who, [&] { return Fftw<T>::plan(size, from.data(), to.data(), sign, FFTW_ESTIMATE); });
  }
  return plan->plan();
}

}  // namespace

fftw_plan keptTransform(std::size_t n, int sign, const char* who) { return kept<double>(n, sign, who); }

fftwf_plan keptFloatTransform(std::size_t n, int sign, const char* who) { return kept<float>(n, sign, who); }

int fftSize(std::size_t n, const char* who) {
  if (n > static_cast<std::size_t>(INT_MAX)) {
    throw std::invalid_argument(std::string(who) + ": a transform of " + std::to_string(n) + " points is too long");
  }
  return static_cast<int>(n);
}

}  // namespace dot11b::phy

#include "phy/fft_plan.h"

#include <climits>

namespace dot11b::phy {

std::mutex& fftwPlannerMutex() {
  static std::mutex mutex;
  return mutex;
}

int fftSize(std::size_t n, const char* who) {
  if (n > static_cast<std::size_t>(INT_MAX)) {
    throw std::invalid_argument(std::string(who) + ": a transform of " + std::to_string(n) + " points is too long");
  }
  return static_cast<int>(n);
}

}  // namespace dot11b::phy

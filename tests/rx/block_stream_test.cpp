// A capture read in blocks gives exactly what it gives whole: the resampler and the front end carry their
// state across every block boundary.
#include <gtest/gtest.h>

#include <random>

#include "rx/front_end.h"
#include "rx/resample.h"

namespace dot11b::rx {
namespace {

ComplexRow noise(std::size_t n) {
  std::mt19937 random(3);
  std::normal_distribution<double> gauss;
  ComplexRow x(n);
  for (Complex& s : x) s = {gauss(random), gauss(random)};
  return x;
}

// `stage` over the capture in blocks of the given sizes (repeated), then at its end.
template <class Stage>
ComplexRow inBlocks(Stage stage, const ComplexRow& capture, const std::vector<std::size_t>& sizes) {
  ComplexRow out;
  std::size_t at = 0;
  for (std::size_t k = 0; at < capture.size(); ++k) {
    const std::size_t n = std::min(sizes[k % sizes.size()], capture.size() - at);
    stage.push(capture.data() + at, n, out);
    at += n;
  }
  stage.finish(out);
  return out;
}

struct Rates {
  double from, to;
};

class BlockStream : public ::testing::TestWithParam<Rates> {};

TEST_P(BlockStream, BlocksGiveWhatTheWholeCaptureGives) {
  const ComplexRow capture = noise(3001);
  const Rates r = GetParam();
  const ComplexRow whole = resample(capture, r.from, r.to);
  for (const std::vector<std::size_t>& sizes : std::vector<std::vector<std::size_t>>{{1}, {7}, {64, 0, 3}, {1000}})
    EXPECT_EQ(inBlocks(Resampler(r.from, r.to), capture, sizes), whole) << sizes.front();
  ComplexRow stream;
  FrontEnd frontEnd(r.from);
  frontEnd.push(capture.data(), capture.size(), stream);
  frontEnd.finish(stream);
  for (const std::vector<std::size_t>& sizes : std::vector<std::vector<std::size_t>>{{1}, {5, 2}, {777}})
    EXPECT_EQ(inBlocks(FrontEnd(r.from), capture, sizes), stream) << sizes.front();
}

// 22 and 20 Msample/s (rational ratios), 99 (decimation), 44 (none) and 21.3 (no short period).
INSTANTIATE_TEST_SUITE_P(Rates, BlockStream,
                         ::testing::Values(Rates{22e6, 44e6}, Rates{20e6, 44e6}, Rates{99e6, 44e6}, Rates{44e6, 44e6},
                                           Rates{21.3e6, 44e6}));

}  // namespace
}  // namespace dot11b::rx

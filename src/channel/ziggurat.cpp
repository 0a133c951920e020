// SPDX-License-Identifier: GPL-3.0-or-later
#include "channel/ziggurat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <numbers>

namespace dot11b::channel {

namespace {

constexpr std::size_t kLayers = 256;
constexpr double kPlaceScale = 0x1p-53;  // of the word's top 53 bits

double curve(double x) { return std::exp(-0.5 * x * x); }

// Layer i spans heights curve(x[i]) to curve(x[i + 1]) and widths 0 to x[i], each of the same area: the
// base layer 0 holds the tail beyond r as well, x[0] being the width of a rectangle of its area.
struct Layers {
  std::array<double, kLayers + 1> x{}, height{};
  std::array<double, kLayers> placeToX{};
  // Places below 2^53 x[i + 1] / x[i] lie under the layer above, where the curve is surely higher.
  std::array<std::uint64_t, kLayers> inner{};
  double r = 3.6541528853610088;  // the base layer's edge, for 256 layers of equal area

  Layers() {
    const double area = r * curve(r) + std::sqrt(std::numbers::pi / 2) * std::erfc(r / std::numbers::sqrt2);
    x[0] = area / curve(r);
    x[1] = r;
    for (std::size_t i = 1; i + 1 < kLayers; ++i) x[i + 1] = std::sqrt(-2 * std::log(area / x[i] + curve(x[i])));
    x[kLayers] = 0;
    for (std::size_t i = 0; i <= kLayers; ++i) height[i] = curve(x[i]);
    for (std::size_t i = 0; i < kLayers; ++i) {
      placeToX[i] = x[i] * kPlaceScale;
      inner[i] = static_cast<std::uint64_t>(x[i + 1] / x[i] / kPlaceScale);
    }
  }
};

// Built at the first draw, not at start-up.
const Layers& layers() {
  static const Layers built;
  return built;
}

std::size_t layerOf(std::uint64_t word) { return word & (kLayers - 1); }
std::uint64_t placeOf(std::uint64_t word) { return word >> 11; }
// x with the word's sign bit (bit 8) as its own: no branch, which would miss half the time.
double signed_(std::uint64_t word, double x) {
  return std::bit_cast<double>(std::bit_cast<std::uint64_t>(x) ^ ((word & 0x100) << 55));
}

// In (0, 1], for logarithms.
double positiveUniform(std::uint64_t word) { return static_cast<double>(placeOf(word) + 1) * kPlaceScale; }

// The number of a word whose place lies beyond its layer's inner part: the edge under the curve is kept, the
// rest drawn anew from `more`.
double fromEdge(std::uint64_t word, const Layers& z, Xoshiro256& more) {
  for (;;) {
    const std::size_t i = layerOf(word);
    const double x = static_cast<double>(placeOf(word)) * z.placeToX[i];
    double value;
    if (placeOf(word) < z.inner[i]) {
      value = x;
    } else if (i == 0) {
      // Marsaglia's tail method: r + a, with a exponential of rate r, kept with probability exp(-a^2 / 2).
      double a, b;
      do {
        a = -std::log(positiveUniform(more())) / z.r;
        b = -std::log(positiveUniform(more()));
      } while (b + b < a * a);
      value = z.r + a;
    } else if (z.height[i] + positiveUniform(more()) * (z.height[i + 1] - z.height[i]) < curve(x)) {
      value = x;
    } else {
      word = more();
      continue;
    }
    return signed_(word, value);
  }
}

}  // namespace

void standardNormals(const std::uint64_t* words, double* out, std::size_t n, Xoshiro256& more) {
  const Layers& z = layers();
  // Every word as if its place lay inside, noting those that do not without a branch; then those mended.
  std::array<std::uint32_t, 256> outside;  // indices; a block with more outside than this is mended in turns
  for (std::size_t first = 0; first < n; first += outside.size()) {
    const std::size_t count = std::min(outside.size(), n - first);
    std::size_t found = 0;
    for (std::size_t k = first; k < first + count; ++k) {
      const std::uint64_t word = words[k];
      const std::size_t i = layerOf(word);
      out[k] = signed_(word, static_cast<double>(static_cast<std::int64_t>(placeOf(word))) * z.placeToX[i]);
      outside[found] = static_cast<std::uint32_t>(k);
      found += placeOf(word) >= z.inner[i];
    }
    for (std::size_t j = 0; j < found; ++j) out[outside[j]] = fromEdge(words[outside[j]], z, more);
  }
}

}  // namespace dot11b::channel

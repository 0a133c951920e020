// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "plots/placement.h"
#include "plots/raster.h"

namespace dot11b::plots {
namespace {

TEST(Placement, BesideTheParentOrAtTheViewsOwnPlace) {
  // 80 % of the parent's size, 10 % of its own width right and 10 % of its own height down.
  EXPECT_EQ(plotWindowRect(ViewKind::kCcdf, Rect{100, 200, 1000, 500}), (Rect{180, 160, 800, 400}));
  const Rect normalized = plotWindowRect(ViewKind::kEye, Rect{0.2, 0.3, 0.5, 0.5});
  const Rect expected{0.24, 0.26, 0.4, 0.4};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_NEAR(normalized[i], expected[i], 1e-15) << i;
  // The spectrum: 10 % of the parent's width right and 18 % of its height up.
  EXPECT_EQ(plotWindowRect(ViewKind::kSpectrum, Rect{100, 200, 1000, 500}), (Rect{200, 290, 800, 400}));
  EXPECT_EQ(plotWindowRect(ViewKind::kSpectrum, std::nullopt), (Rect{50, 480, 300, 300}));
  EXPECT_EQ(plotWindowRect(ViewKind::kScatter, std::nullopt), (Rect{150, 150, 340, 340}));
  EXPECT_EQ(namePrefix(ViewKind::kIqTime), "I(t) Q(t) ");
  EXPECT_EQ(namePrefix(ViewKind::kWaterfall), "Spectrum Waterfall ");
}

TEST(Placement, ANewWindowMovesOffTheCornersOfOpenOnes) {
  const std::array<int, 4> screen{0, 0, 1600, 1000};
  const Corner size{340, 340};
  EXPECT_EQ(clearCorner({150, 150}, size, screen, {}, 32), (Corner{150, 150}));
  EXPECT_EQ(clearCorner({150, 150}, size, screen, {{700, 150}}, 32), (Corner{150, 150}));
  EXPECT_EQ(clearCorner({150, 150}, size, screen, {{150, 150}}, 32), (Corner{182, 182}));
  // Nearly the same place counts as the same; a cascade of them is passed by, whatever their order.
  EXPECT_EQ(clearCorner({150, 150}, size, screen, {{160, 140}}, 32), (Corner{182, 182}));
  EXPECT_EQ(clearCorner({150, 150}, size, screen, {{214, 214}, {150, 150}, {182, 182}}, 32), (Corner{246, 246}));
  // Where the screen ends: left and down, then up.
  EXPECT_EQ(clearCorner({1260, 0}, size, screen, {{1260, 0}}, 32), (Corner{1228, 32}));
  EXPECT_EQ(clearCorner({1260, 660}, size, screen, {{1260, 660}}, 32), (Corner{1228, 628}));
  // No room either way: the place asked for.
  EXPECT_EQ(clearCorner({0, 0}, {1600, 1000}, screen, {{0, 0}}, 32), (Corner{0, 0}));
}

TEST(RasterImage, SharesAddUpToTheWhole) {
  Raster whole(8, 8, 0, 1, 0, 1), first(8, 8, 0, 1, 0, 1);
  Raster second = first.blank();
  for (int k = 0; k < 20; ++k) {
    const double x = 0.05 * k, y = 1 - 0.04 * k;
    whole.addSegment(x, y, y, x);
    (k < 7 ? first : second).addSegment(x, y, y, x);
  }
  first.merge(second);
  for (std::size_t c = 0; c < 8; ++c)
    for (std::size_t r = 0; r < 8; ++r) EXPECT_EQ(first.at(c, r), whole.at(c, r));
  EXPECT_GT(whole.total(), 20);
}

}  // namespace
}  // namespace dot11b::plots

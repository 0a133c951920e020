// SPDX-License-Identifier: GPL-3.0-or-later
// Where a plot window opens: relative to the window that opened it, or at the view's own place on the
// screen. Rectangles are [x y width height] with y counted up from the bottom.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace dot11b::plots {

using Rect = std::array<double, 4>;

enum class ViewKind { kCcdf, kSpectrum, kIqTime, kEye, kScatter, kWaterfall, kMask, kPer };

// The view's rectangle in pixels on the screen, used when it has no parent window.
Rect screenRect(ViewKind view);
// "CCDF ", "Magnitude Spectrum ", ...: the window's name is this followed by the title.
std::string namePrefix(ViewKind view);

// The new window's rectangle, in the parent's units: 80 % of the parent's size, 10 % of its own width
// to the right and 10 % of its own height down; the spectrum goes 10 % of the parent's width right and
// 18 % of the parent's height up. Without a parent, the view's screen rectangle.
Rect plotWindowRect(ViewKind view, const std::optional<Rect>& parent);

// Where a new window goes so that it does not open over one already there: `wanted`, the top-left corner
// of a window of `size` (screen pixels, y counted down from the top), moved by whole steps of `step`
// diagonally (right and down first, then left and down, right and up, left and up) to the nearest place
// that keeps the window on `screen` (x, y, width, height) and has no corner of `taken` within `step` in
// both directions. The earlier windows' title bars and edges stay in view. Where there is no such place,
// `wanted`.
using Corner = std::array<int, 2>;
Corner clearCorner(Corner wanted, Corner size, const std::array<int, 4>& screen, const std::vector<Corner>& taken,
                   int step);

}  // namespace dot11b::plots

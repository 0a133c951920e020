// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/decimate.h"

#include <algorithm>
#include <cmath>

namespace dot11b::plots {

Polyline decimateMinMax(std::span<const double> x, std::span<const double> y, double xFrom, double xTo,
                        std::size_t columns) {
  Polyline out;
  const std::size_t n = std::min(x.size(), y.size());
  if (n == 0) return out;
  const auto xs = x.first(n);
  std::size_t first = static_cast<std::size_t>(std::lower_bound(xs.begin(), xs.end(), xFrom) - xs.begin());
  std::size_t end = static_cast<std::size_t>(std::upper_bound(xs.begin(), xs.end(), xTo) - xs.begin());
  if (first > 0) --first;
  if (end < n) ++end;
  const auto keep = [&out, &x, &y](std::size_t k) {
    out.x.push_back(x[k]);
    out.y.push_back(y[k]);
  };
  columns = std::max<std::size_t>(columns, 1);
  if (end - first <= 2 * columns || !(xTo > xFrom)) {
    for (std::size_t k = first; k < end; ++k) keep(k);
    return out;
  }
  const double width = (xTo - xFrom) / static_cast<double>(columns);
  const auto columnOf = [&](std::size_t k) {
    return std::clamp(std::floor((x[k] - xFrom) / width), -1.0, static_cast<double>(columns));
  };
  std::size_t k = first;
  while (k < end) {
    const double column = columnOf(k);
    std::size_t low = k, high = k;
    std::size_t next = k + 1;
    for (; next < end && columnOf(next) == column; ++next) {
      if (y[next] < y[low]) low = next;
      if (y[next] > y[high]) high = next;
    }
    keep(std::min(low, high));
    if (low != high) keep(std::max(low, high));
    k = next;
  }
  return out;
}

}  // namespace dot11b::plots

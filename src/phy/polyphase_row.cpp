// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/polyphase_filters.h"

namespace dot11b::phy {

std::vector<RealRow> PolyphaseRow::phases(double scale) const {
  std::vector<RealRow> rows(factor, RealRow(phaseTaps(), 0.0));
  for (std::size_t k = 0; k < taps.size(); ++k) rows[k % factor][k / factor] = taps[k] * scale;
  return rows;
}

void PolyphaseRow::place(std::size_t firstChip, std::size_t count, const Complex* phaseRows, std::size_t phaseStride,
                         Complex* row) const {
  const std::size_t length = rowLength();
  std::size_t at = (firstChip * factor + length - delay % length) % length;
  for (std::size_t i = 0; i < count; ++i) {
    if (at + factor < length) {
      // The chip's outputs do not reach the row's end: no wrap to watch for.
      for (std::size_t phase = 0; phase < factor; ++phase) row[at + phase] = phaseRows[phase * phaseStride + i];
      at += factor;
      continue;
    }
    for (std::size_t phase = 0; phase < factor; ++phase) {
      row[at] = phaseRows[phase * phaseStride + i];
      if (++at == length) at = 0;
    }
  }
}

}  // namespace dot11b::phy

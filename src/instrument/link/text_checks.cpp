// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/link/text_checks.h"

namespace dot11b::instrument {

std::optional<std::string> titleProblem(std::string_view title) {
  if (title.empty()) return "the waveform title is empty";
  for (std::size_t i = 0; i < title.size(); ++i) {
    const auto c = static_cast<unsigned char>(title[i]);
    const std::string where = " at position " + std::to_string(i + 1);
    if (c == '"') return "the waveform title \"" + std::string(title) + "\" holds a double quote" + where;
    if (c == '\n' || c == '\r') return "the waveform title holds a line break" + where;
    if (c < 0x20 || c == 0x7f) return "the waveform title holds a control character" + where;
  }
  return std::nullopt;
}

}  // namespace dot11b::instrument

// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/field_text.h"

#include <cmath>
#include <limits>

#include "runtime/number_text.h"
#include "runtime/shortest_text.h"

namespace dot11b::windows {

std::string fieldText(double shown, const std::function<bool(const std::string&)>& readsBack) {
  std::string text = rt::numberToText(shown);
  if (!std::isfinite(shown) || readsBack(text)) return text;
  // The shortest text of the value itself, then of its nearest neighbours: converting to the field's unit
  // and back (a division and a multiplication) can land one step beside the stored value.
  const std::string exact = rt::shortestText(shown);
  if (readsBack(exact)) return exact;
  double up = shown, down = shown;
  for (int step = 0; step < 4; ++step) {
    up = std::nextafter(up, std::numeric_limits<double>::infinity());
    down = std::nextafter(down, -std::numeric_limits<double>::infinity());
    for (double near : {up, down}) {
      text = rt::shortestText(near);
      if (readsBack(text)) return text;
    }
  }
  return exact;
}

}  // namespace dot11b::windows

// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any text typed as an argument of `dot11b call` is a value or refused with a
// LiteralError that says what is malformed; never a crash, a hang or another exception. A real number
// parsed is shown so that it reads back as the same number.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "runtime/display.h"
#include "runtime/literal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dot11b::rt;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Value value;
  try {
    value = parseLiteral(text);
  } catch (const LiteralError& e) {
    if (*e.what() == '\0') std::abort();  // every refusal says why
    return 0;
  }
  const std::string shown = display(value);
  if (value.isNumeric() && !value.isComplex() && value.numel() == 1 && !std::isnan(value.re(0))) {
    if (!(parseLiteral(shown) == value)) std::abort();
  }
  return 0;
}

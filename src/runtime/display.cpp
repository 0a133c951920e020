// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/display.h"

#include <cmath>
#include <cstdio>

namespace dot11b::rt {

namespace {

std::string real17(double x) {
  if (std::isnan(x)) return "NaN";
  if (std::isinf(x)) return x > 0 ? "Inf" : "-Inf";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", x == 0 ? 0.0 : x);  // no "-0"
  return buf;
}

std::string element(const Value& v, std::size_t i) {
  if (!v.isComplex()) return real17(v.re(i));
  const double im = v.im(i);
  const bool negative = im < 0;
  return real17(v.re(i)) + (negative ? "-" : "+") + real17(std::fabs(im)) + "i";
}

std::string matrix(const Value& v, std::string open, std::string close,
                   std::string (*item)(const Value&, std::size_t)) {
  std::string out = open;
  for (std::size_t r = 0; r < v.rows(); ++r) {
    if (r) out += "; ";
    for (std::size_t c = 0; c < v.cols(); ++c) {
      if (c) out += " ";
      out += item(v, c * v.rows() + r);
    }
  }
  return out + close;
}

std::string cellItem(const Value& v, std::size_t i) { return display(v.cells()[i]); }

void recordLines(const Value& record, const std::string& prefix, std::string& out) {
  for (const auto& [name, value] : record.fields()) {
    if (value.isRecord()) {
      recordLines(value, prefix + name + ".", out);
      continue;
    }
    if (!out.empty()) out += "\n";
    out += prefix + name + " = " + display(value);
  }
}

}  // namespace

std::string display(const Value& v) {
  switch (v.valueClass()) {
    case ValueClass::Numeric:
      if (v.isScalar()) return element(v, 0);
      return matrix(v, "[", "]", element);
    case ValueClass::Text: {
      std::string out = "'";
      for (char c : v.toUtf8()) out += c == '\'' ? std::string("''") : std::string(1, c);
      return out + "'";
    }
    case ValueClass::Record: {
      std::string out;
      recordLines(v, "", out);
      return out;
    }
    case ValueClass::Cell:
      return matrix(v, "{", "}", cellItem);
  }
  return {};
}

}  // namespace dot11b::rt

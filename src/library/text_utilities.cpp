// SPDX-License-Identifier: GPL-3.0-or-later
// Number-to-text, name and keyword tests and octal numbers for the calling forms.
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "runtime/binding.h"
#include "runtime/export_macros.h"
#include "runtime/number_text.h"
#include "runtime/shortest_text.h"

namespace dot11b::rt {

namespace {

constexpr std::array<std::string_view, 20> kKeywords = {
    "break",  "case",     "catch",  "classdef", "continue",   "else",   "elseif", "end",   "for",    "function",
    "global", "if",       "otherwise", "parfor", "persistent", "return", "spmd",  "switch", "try",   "while"};

constexpr std::size_t kLongestName = 63;

bool isKeyword(std::string_view s) { return std::find(kKeywords.begin(), kKeywords.end(), s) != kKeywords.end(); }

// The default conversion, or with a precision: that many significant digits.
Values num2str(const Values& in, int) {
  const Inputs args(in, "Num2Str");
  const Value& x = args.at(0, "x");
  if (x.isText()) return {x};
  if (!x.isNumeric()) throw std::invalid_argument("Num2Str: input 'x' must be numeric or text, not " + describe(x));
  if (!args.given(1)) {
    std::vector<double> row(x.real());
    if (x.isComplex() && x.numel() == 1) return {Value::text(numberToText(x.at(0)))};
    return {Value::text(x.numel() == 1 ? numberToText(x.re(0)) : numbersToText(row))};
  }
  const double precision = args.whole(1, "precision");
  if (precision < 1 || precision > 17) throw std::invalid_argument("Num2Str: the precision must be 1 to 17 digits");
  std::string out;
  for (double v : x.real()) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", static_cast<int>(precision), v);
    out += (out.empty() ? "" : "  ") + std::string(buf);
  }
  return {Value::text(out)};
}

Values isvarname(const Values& in, int) {
  const Value& v = input(in, 0, {"Isvarname", "s"});
  if (!v.isText()) return {Value::scalar(0)};
  const std::string s = v.toUtf8();
  const bool ok = !s.empty() && s.size() <= kLongestName && std::isalpha(static_cast<unsigned char>(s[0])) &&
                  std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isalnum(c) || c == '_'; }) &&
                  !isKeyword(s);
  return {Value::scalar(ok ? 1 : 0)};
}

// Without input: the keywords as a cell list (one column).
Values iskeyword(const Values& in, int) {
  if (in.empty()) {
    Value list = Value::cell(kKeywords.size(), 1);
    for (std::size_t i = 0; i < kKeywords.size(); ++i) list.cells()[i] = Value::text(kKeywords[i]);
    return {list};
  }
  const Value& v = in[0];
  return {Value::scalar(v.isText() && isKeyword(v.toUtf8()) ? 1 : 0)};
}

double octalDigitsToDecimal(const std::string& digits) {
  if (digits.empty()) throw std::invalid_argument("Oct2dec: no octal digits");
  double value = 0;
  for (char c : digits) {
    if (c < '0' || c > '7') throw std::invalid_argument("Oct2dec: '" + digits + "' is not an octal number");
    value = value * 8 + (c - '0');
  }
  return value;
}

// Each element of a numeric array written with octal digits (777 is 511), or a text of octal digits.
Values oct2dec(const Values& in, int) {
  const Value& d = input(in, 0, {"Oct2dec", "d"});
  if (d.isText()) return {Value::scalar(octalDigitsToDecimal(d.toUtf8()))};
  if (!d.isNumeric() || d.isComplex()) throw std::invalid_argument("Oct2dec: input 'd' must be real numbers or text");
  std::vector<double> out;
  for (double x : d.real()) {
    if (!(x >= 0) || x != std::floor(x) || x > 9007199254740992.0) {
      throw std::invalid_argument("Oct2dec: " + shortestText(x) + " is not a whole number of octal digits");
    }
    out.push_back(octalDigitsToDecimal(numberToText(x)));
  }
  return {Value::matrix(d.rows(), d.cols(), std::move(out))};
}

void registerTextUtilities(Registry& r) {
  r.add({"Num2Str", "num2str", 1, 2, 1, num2str});
  r.add({"Isvarname", "isvarname", 1, 1, 1, isvarname});
  r.add({"Iskeyword", "iskeyword", 1, 1, 1, iskeyword});
  r.add({"Oct2dec", "oct2dec", 1, 1, kVariable, oct2dec});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerTextUtilities)

}  // namespace dot11b::rt

DOT11B_EXPORT_1(Num2Str, 2)
DOT11B_EXPORT_1(Isvarname, 1)
DOT11B_EXPORT_1(Iskeyword, 1)
DOT11B_EXPORT_VARIABLE(Oct2dec)

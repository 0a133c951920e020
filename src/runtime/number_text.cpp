// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/number_text.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace dot11b::rt {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Significant digits of the default conversion: four decimals above 1, five significant digits below.
int significantDigits(double x) {
  const double magnitude = std::floor(std::log10(std::fabs(x)));
  const int digits = std::isfinite(magnitude) ? static_cast<int>(magnitude) + 5 : 5;
  return std::clamp(digits, 5, 17);
}

}  // namespace

std::string numberToText(double x) {
  if (std::isnan(x)) return "NaN";
  if (std::isinf(x)) return x > 0 ? "Inf" : "-Inf";
  // A whole number is written with all its digits: up to 309 of them, and a sign.
  char buf[320];
  if (x == std::trunc(x)) {
    std::snprintf(buf, sizeof buf, "%.0f", x == 0 ? 0.0 : x);  // no "-0"
  } else {
    std::snprintf(buf, sizeof buf, "%.*g", significantDigits(x), x);
  }
  return buf;
}

std::string numberToText(std::complex<double> z) {
  if (z.imag() == 0) return numberToText(z.real());
  std::string im = numberToText(std::fabs(z.imag()));
  const bool negative = std::signbit(z.imag()) && !std::isnan(z.imag());
  return numberToText(z.real()) + (negative ? "-" : "+") + im + "i";
}

std::string numbersToText(const std::vector<double>& row) {
  std::string out;
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i) out += "  ";
    out += numberToText(row[i]);
  }
  return out;
}

std::optional<double> parseReal(std::string_view token) {
  if (token.empty()) return std::nullopt;
  double sign = 1;
  std::string_view body = token;
  if (body.front() == '+' || body.front() == '-') {
    if (body.front() == '-') sign = -1;
    body.remove_prefix(1);
  }
  if (equalsIgnoringCase(body, "inf")) return sign * INFINITY;
  if (equalsIgnoringCase(body, "nan")) return NAN;
  if (body.empty() || body.front() == '+' || body.front() == '-') return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
  if (ec == std::errc::result_out_of_range && end == body.data() + body.size()) {
    // Overflow gives infinity and underflow zero, as arithmetic does.
    return sign * std::strtod(std::string(body).c_str(), nullptr);
  }
  if (ec != std::errc() || end != body.data() + body.size()) return std::nullopt;
  return sign * value;
}

std::vector<double> textToNumbers(std::string_view text) {
  std::vector<double> numbers;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (std::isspace(static_cast<unsigned char>(text[i])) || text[i] == ',')) ++i;
    if (i == text.size()) break;
    std::size_t j = i;
    while (j < text.size() && !std::isspace(static_cast<unsigned char>(text[j])) && text[j] != ',') ++j;
    const auto number = parseReal(text.substr(i, j - i));
    if (!number) return {};
    numbers.push_back(*number);
    i = j;
  }
  return numbers;
}

}  // namespace dot11b::rt

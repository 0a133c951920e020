// SPDX-License-Identifier: GPL-3.0-or-later
#include "setting_values.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "header_match.h"
#include "scpi_error.h"

namespace sgsim {
namespace {

std::string upper(const std::string& text) {
  std::string out = text;
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The capitals of a SCPI keyword: "POSitive" gives "POS".
std::string shortForm(const std::string& keyword) {
  std::string out;
  for (const char c : keyword) {
    if (std::isupper(static_cast<unsigned char>(c))) out += c;
  }
  return out;
}

struct Suffix {
  const char* name;
  double factor;
};

const std::vector<Suffix>& suffixes(ValueKind kind) {
  // SCPI suffixes are case-insensitive; "MHZ" is megahertz (SCPI-99 7.7.3).
  static const std::vector<Suffix> frequency = {{"HZ", 1}, {"KHZ", 1e3}, {"MHZ", 1e6}, {"GHZ", 1e9}};
  static const std::vector<Suffix> level = {{"DBM", 1}};
  static const std::vector<Suffix> decibel = {{"DB", 1}};
  static const std::vector<Suffix> percent = {{"PCT", 1}};
  static const std::vector<Suffix> none;
  switch (kind) {
    case ValueKind::Frequency:
    case ValueKind::Filter: return frequency;
    case ValueKind::Level: return level;
    case ValueKind::Decibel: return decibel;
    case ValueKind::Percent: return percent;
    default: return none;
  }
}

// A number followed by an optional suffix of the kind; false when the token is no number.
bool parseNumber(const std::string& token, ValueKind kind, double& value) {
  const char* begin = token.c_str();
  char* end = nullptr;
  value = std::strtod(begin, &end);
  if (end == begin || !std::isfinite(value)) return false;
  std::string suffix = upper(end);
  while (!suffix.empty() && suffix.front() == ' ') suffix.erase(0, 1);
  if (suffix.empty()) return true;
  for (const Suffix& s : suffixes(kind)) {
    if (suffix == s.name) {
      value *= s.factor;
      return true;
    }
  }
  throw ScpiError(-131, "Invalid suffix");
}

const Parameter& tokenOf(const Parameter& parameter) {
  if (parameter.kind != Parameter::Kind::Token) throw ScpiError(-104, "Data type error");
  return parameter;
}

}  // namespace

std::string numberText(double value) {
  char text[32];
  if (value == std::floor(value) && std::abs(value) < 1e15) {
    std::snprintf(text, sizeof text, "%.0f", value);
  } else {
    std::snprintf(text, sizeof text, "%.12g", value);
  }
  return text;
}

std::string canonicalValue(const ValueRule& rule, const Parameter& parameter) {
  switch (rule.kind) {
    case ValueKind::Frequency:
    case ValueKind::Level:
    case ValueKind::Decibel:
    case ValueKind::Percent: {
      double value = 0;
      if (!parseNumber(tokenOf(parameter).value, rule.kind, value)) throw ScpiError(-104, "Data type error");
      if (value < rule.min || value > rule.max) throw ScpiError(-222, "Data out of range");
      return numberText(value);
    }
    case ValueKind::Boolean: {
      const std::string token = upper(tokenOf(parameter).value);
      if (token == "ON") return "1";
      if (token == "OFF") return "0";
      double value = 0;
      if (parseNumber(token, rule.kind, value)) return std::lround(value) != 0 ? "1" : "0";
      throw ScpiError(-224, "Illegal parameter value");
    }
    case ValueKind::Choice: {
      const std::string& token = tokenOf(parameter).value;
      for (const std::string& choice : rule.choices) {
        if (headerMatches(choice, token)) return shortForm(choice);
      }
      throw ScpiError(-224, "Illegal parameter value");
    }
    case ValueKind::Filter: {
      const std::string& token = tokenOf(parameter).value;
      if (headerMatches("THRough", token)) return "THR";
      double value = 0;
      if (!parseNumber(token, rule.kind, value)) throw ScpiError(-224, "Illegal parameter value");
      for (const double step : rule.steps) {
        if (std::abs(value - step) <= 1e-9 * step) return numberText(step);
      }
      throw ScpiError(-224, "Illegal parameter value");
    }
    case ValueKind::Name:
      if (parameter.kind != Parameter::Kind::String) throw ScpiError(-104, "Data type error");
      return parameter.value;
  }
  throw ScpiError(-224, "Illegal parameter value");
}

}  // namespace sgsim

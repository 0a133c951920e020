// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/parameter_rules.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "runtime/number_text.h"
#include "runtime/shortest_text.h"
#include "settings/start_values.h"

namespace dot11b::settings {

using rt::Value;

namespace {

// Allowed values of one numeric field; the bounds may depend on other fields of the record.
struct NumericRule {
  std::string path;
  std::vector<double> choices;  // when not empty: the only allowed values
  bool whole = false;
  std::function<std::pair<double, double>(const Value&)> bounds;
};

double numberAt(const Value& p, std::string_view path);

std::pair<double, double> fixed(double lo, double hi, const Value&) { return {lo, hi}; }

std::vector<NumericRule> numericRules() {
  using namespace std::placeholders;
  const auto range = [](double lo, double hi) { return std::bind(fixed, lo, hi, _1); };
  const auto perOverSampling = [](const Value& p) { return std::pair<double, double>(0, 11000 * numberAt(p, "OverSampling")); };
  const auto filterFactor = [](const Value& p) {
    const double type = numberAt(p, "FilterType");
    return std::pair<double, double>(type == 1 ? 0.1 : type == 2 ? 0.05 : 0, 1);
  };
  return {
      {"generationMode", {0, 1}, true, {}},
      {"dataRate", {1, 2, 5.5, 11}, false, {}},
      {"highRateMod", {0, 1}, true, {}},
      {"preambleType", {0, 1}, true, {}},
      {"clkLocked", {0, 1}, true, {}},
      {"scramblerActive", {0, 1, 2}, true, {}},
      {"encoderActive", {0, 1}, true, {}},
      {"Channel", {}, true, range(1, 14)},
      {"MirrorSpectrum", {0, 1}, true, {}},
      {"MACheader.Active", {0, 1}, true, {}},
      {"MACfcs.Active", {0, 1}, true, {}},
      {"dataSourceType", {}, true, range(1, 7)},
      {"dataLength", {}, true, range(0, 2312)},
      {"OverSampling", {}, true, range(2, 9)},
      {"rampType", {0, 1, 2}, true, {}},
      {"rampLength", {}, true, perOverSampling},
      {"idleSamples", {}, true, perOverSampling},
      {"FilterType", {0, 1, 2}, true, {}},
      {"FilterFactor", {}, false, filterFactor},
      {"FilterTaps", {}, true, range(1, 1000)},
  };
}

constexpr std::string_view kMacFields[] = {"FrameCntrl", "DurationID", "SeqCntrl", "Address1",
                                           "Address2",   "Address3",   "Address4"};

const Value* findPath(const Value& root, std::string_view path) {
  const Value* v = &root;
  while (true) {
    if (!v->isRecord()) return nullptr;
    const std::size_t dot = path.find('.');
    v = v->findField(path.substr(0, dot));
    if (!v || dot == std::string_view::npos) return v;
    path.remove_prefix(dot + 1);
  }
}

Value& pathRef(Value& root, std::string_view path) {
  const Value* v = findPath(root, path);
  if (!v) throw ParameterError(std::string(path) + ": the parameters record has no such field");
  return const_cast<Value&>(*v);
}

double numberAt(const Value& p, std::string_view path) {
  const Value* v = findPath(p, path);
  if (!v || !v->isNumeric() || !v->isScalar() || v->isComplex())
    throw ParameterError(std::string(path) + ": must be one real number");
  return v->re(0);
}

std::string allowedText(const NumericRule& rule, const Value& p) {
  if (!rule.choices.empty()) {
    std::string s = "one of";
    for (double c : rule.choices) s += " " + rt::shortestText(c);
    return s;
  }
  const auto [lo, hi] = rule.bounds(p);
  return std::string(rule.whole ? "a whole number" : "a number") + " from " + rt::shortestText(lo) + " to " +
         rt::shortestText(hi);
}

void checkRule(const NumericRule& rule, const Value& p) {
  const double x = numberAt(p, rule.path);
  bool ok = std::isfinite(x) && (!rule.whole || x == std::trunc(x));
  if (ok && !rule.choices.empty()) ok = std::find(rule.choices.begin(), rule.choices.end(), x) != rule.choices.end();
  if (ok && rule.choices.empty()) {
    const auto [lo, hi] = rule.bounds(p);
    ok = x >= lo && x <= hi;
  }
  if (!ok)
    throw ParameterError(rule.path + ": " + rt::shortestText(x) + " is not allowed; allowed: " + allowedText(rule, p));
}

void checkMacHeader(const Value& p) {
  const Value* contents = findPath(p, "MACheader.Contents");
  if (!contents || !contents->isRecord()) throw ParameterError("MACheader.Contents: must be a MAC header record");
  const Value* bits = contents->findField("BitStream");
  if (!bits || !(bits->isNumeric() && !bits->isComplex() && (bits->isVector() || bits->isEmpty())))
    throw ParameterError("MACheader.Contents.BitStream: must be a row of bits");
  if (bits->numel() % 8 != 0 || bits->numel() > 240)
    throw ParameterError("MACheader.Contents.BitStream: must hold whole octets, at most 240 bits");
  for (double b : bits->real())
    if (b != 0 && b != 1) throw ParameterError("MACheader.Contents.BitStream: must hold only bits 0 and 1");
  for (std::string_view name : kMacFields) {
    const std::string base = "MACheader.Contents." + std::string(name);
    const double size = numberAt(p, base + ".Size");
    if (size != (name.substr(0, 7) == "Address" ? 6 : 2)) throw ParameterError(base + ".Size: must be the field's octet count");
    const double value = numberAt(p, base + ".Contents");
    if (!(value >= 0 && value == std::trunc(value) && value < std::ldexp(1.0, static_cast<int>(8 * size))))
      throw ParameterError(base + ".Contents: must be a whole number from 0 to 2^" + rt::shortestText(8 * size) + " - 1");
    const double active = numberAt(p, base + ".Active");
    if (active != 0 && active != 1) throw ParameterError(base + ".Active: must be 0 or 1");
  }
  if (numberAt(p, "MACheader.Length") * 8 != static_cast<double>(bits->numel()))
    throw ParameterError("MACheader.Length: must be the bit stream's length in octets");
}

bool isMacContentsPath(std::string_view path, std::string_view leaf) {
  for (std::string_view name : kMacFields)
    if (path == "MACheader.Contents." + std::string(name) + "." + std::string(leaf)) return true;
  return false;
}

}  // namespace

namespace {

NumericRule ruleOf(std::string_view path) {
  for (NumericRule& rule : numericRules())
    if (rule.path == path) return std::move(rule);
  throw ParameterError(std::string(path) + ": not a numeric field of the parameters record");
}

}  // namespace

std::pair<double, double> allowedRange(const Value& parameters, std::string_view path) {
  const NumericRule rule = ruleOf(path);
  if (!rule.bounds) throw ParameterError(std::string(path) + ": takes one of a list of values, not a range");
  return rule.bounds(parameters);
}

std::vector<double> allowedChoices(std::string_view path) {
  NumericRule rule = ruleOf(path);
  if (rule.choices.empty()) throw ParameterError(std::string(path) + ": takes a range of values, not a list");
  return std::move(rule.choices);
}

std::vector<std::string> settableFields() {
  std::vector<std::string> out;
  for (const auto& rule : numericRules()) out.push_back(rule.path);
  out.push_back("dataSourceName");
  for (std::string_view name : kMacFields) {
    out.push_back("MACheader.Contents." + std::string(name) + ".Contents");
    out.push_back("MACheader.Contents." + std::string(name) + ".Active");
  }
  return out;
}

namespace {

void deriveLengths(Value& p) {
  pathRef(p, "MACheader.Length") =
      Value::scalar(static_cast<double>(pathRef(p, "MACheader.Contents.BitStream").numel()) / 8);
  pathRef(p, "totalLength") = Value::scalar(totalLength(p));
}

}  // namespace

void deriveParameters(Value& p) {
  deriveLengths(p);
  pathRef(p, "ProjectedLength") = Value::scalar(projectedLength(p));
}

void applySetting(Value& p, std::string_view path, std::string_view text) {
  if (path == "totalLength" || path == "ProjectedLength" || path == "MACheader.Length")
    throw ParameterError(std::string(path) + ": derived from the other fields, cannot be set");
  if (path == "dataSourceName") {
    pathRef(p, path) = Value::text(text);
    return;
  }
  const auto fields = settableFields();
  if (std::find(fields.begin(), fields.end(), path) == fields.end()) {
    std::string known;
    for (const auto& f : fields) known += (known.empty() ? "" : ", ") + f;
    throw ParameterError(std::string(path) + ": unknown field; settable fields: " + known);
  }
  std::optional<double> value;
  if (isMacContentsPath(path, "Contents") && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    const std::string hex(text.substr(2));
    std::size_t used = 0;
    try {
      value = static_cast<double>(std::stoull(hex, &used, 16));
    } catch (const std::exception&) {
      used = 0;
    }
    if (used != hex.size()) value.reset();
  } else {
    value = rt::parseReal(text);
  }
  if (!value) throw ParameterError(std::string(path) + ": '" + std::string(text) + "' is not a number");
  pathRef(p, path) = Value::scalar(*value);
  if (path == "dataRate" && *value == 1) pathRef(p, "preambleType") = Value::scalar(0);
  if (path.substr(0, 19) == "MACheader.Contents.") {
    // A header field changed: check it, then rebuild the bit stream from the fields.
    if (isMacContentsPath(path, "Active") && *value != 0 && *value != 1)
      throw ParameterError(std::string(path) + ": " + std::string(text) + " is not allowed; allowed: one of 0 1");
    const bool wholeInRange = *value >= 0 && *value == std::trunc(*value) && *value < std::ldexp(1.0, 48);
    mac::MacHeader typed;
    if (wholeInRange) typed = macHeaderFromRecord(p.field("MACheader").field("Contents"));
    for (const mac::MacField& field : typed.fields)
      if (!wholeInRange || static_cast<double>(field.contents) >= std::ldexp(1.0, static_cast<int>(8 * field.size)))
        throw ParameterError(std::string(path) + ": " + std::string(text) +
                             " is not allowed; allowed: a whole number that fits the field's octets");
    typed.bitStream = mac::recalcBitStream(typed);
    pathRef(p, "MACheader.Contents") = macHeaderRecord(typed);
  }
  deriveLengths(p);
}

void applyAssignment(Value& p, std::string_view assignment) {
  const std::size_t eq = assignment.find('=');
  if (eq == std::string_view::npos || eq == 0)
    throw ParameterError("'" + std::string(assignment) + "': expected FIELD=VALUE");
  applySetting(p, assignment.substr(0, eq), assignment.substr(eq + 1));
}

namespace {

// The field at `path` when it is one real number.
Value* realScalarAt(Value& p, std::string_view path) {
  Value* v = const_cast<Value*>(findPath(p, path));
  return v && v->isNumeric() && v->isScalar() && !v->isComplex() ? v : nullptr;
}

double withinRule(const NumericRule& rule, const Value& p, double x) {
  if (!rule.choices.empty()) {
    if (std::isnan(x)) return rule.choices.front();
    return *std::min_element(rule.choices.begin(), rule.choices.end(),
                             [x](double a, double b) { return std::fabs(a - x) < std::fabs(b - x); });
  }
  const auto [lo, hi] = rule.bounds(p);
  if (std::isnan(x)) return lo;
  return std::clamp(rule.whole ? std::round(x) : x, lo, hi);
}

void adjust(Value& p, std::string_view path, double wanted, std::vector<Adjustment>& changes) {
  Value* v = realScalarAt(p, path);
  if (!v) return;
  const double before = v->re(0);
  if (before == wanted) return;
  *v = Value::scalar(wanted);
  changes.push_back({std::string(path), before, wanted});
}

}  // namespace

std::vector<Adjustment> bringWithinRules(Value& p) {
  std::vector<Adjustment> changes;
  if (!p.isRecord()) return changes;
  // In rule order: the ranges of rampLength, idleSamples and FilterFactor follow fields adjusted before them.
  for (const auto& rule : numericRules())
    if (const Value* v = realScalarAt(p, rule.path)) adjust(p, rule.path, withinRule(rule, p, v->re(0)), changes);
  for (std::string_view name : kMacFields) {
    const std::string base = "MACheader.Contents." + std::string(name);
    const Value* size = realScalarAt(p, base + ".Size");
    if (const Value* contents = realScalarAt(p, base + ".Contents"); contents && size && (size->re(0) == 2 || size->re(0) == 6)) {
      const double largest = std::ldexp(1.0, static_cast<int>(8 * size->re(0))) - 1;
      const double x = contents->re(0);
      adjust(p, base + ".Contents", std::isnan(x) ? 0 : std::clamp(std::round(x), 0.0, largest), changes);
    }
    if (const Value* active = realScalarAt(p, base + ".Active")) adjust(p, base + ".Active", active->re(0) >= 0.5 ? 1 : 0, changes);
  }
  if (const Value* bits = findPath(p, "MACheader.Contents.BitStream"); bits && bits->isNumeric())
    adjust(p, "MACheader.Length", static_cast<double>(bits->numel()) / 8, changes);
  adjust(p, "MACfcs.Length", 4, changes);
  return changes;
}

void validateParameters(const Value& p) {
  if (!p.isRecord()) throw ParameterError("parameters: must be a record");
  const Value* id = p.findField("ParameterFileFormat_ID");
  if (!id || !id->isText()) throw ParameterError("ParameterFileFormat_ID: must be text");
  for (const auto& rule : numericRules()) checkRule(rule, p);
  const Value* name = p.findField("dataSourceName");
  if (!name || !(name->isText() || (name->isNumeric() && name->isEmpty())))
    throw ParameterError("dataSourceName: must be text");
  numberAt(p, "MACheader.Length");
  numberAt(p, "MACfcs.Length");
  if (numberAt(p, "MACfcs.Length") != 4) throw ParameterError("MACfcs.Length: must be 4");
  checkMacHeader(p);
}

}  // namespace dot11b::settings

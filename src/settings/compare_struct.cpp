// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/compare_struct.h"

#include <cmath>

namespace dot11b::settings {

using rt::Value;

namespace {

bool sameNumber(double x, double y) { return x == y || (std::isnan(x) && std::isnan(y)); }

bool sameNumbers(const Value& a, const Value& b) {
  if (a.rows() != b.rows() || a.cols() != b.cols()) return false;
  for (std::size_t i = 0; i < a.numel(); ++i)
    if (!sameNumber(a.re(i), b.re(i)) || !sameNumber(a.im(i), b.im(i))) return false;
  return true;
}

bool sameFieldValue(const Value& a, const Value& b);

bool sameCells(const Value& a, const Value& b) {
  if (a.rows() != b.rows() || a.cols() != b.cols()) return false;
  for (std::size_t i = 0; i < a.cells().size(); ++i)
    if (!sameFieldValue(a.cells()[i], b.cells()[i])) return false;
  return true;
}

bool sameFieldValue(const Value& a, const Value& b) {
  if (a.isEmpty() && b.isEmpty()) return true;
  if (a.isRecord() && b.isRecord()) return compareStruct(a, b);
  if (a.isNumeric() && b.isNumeric()) return sameNumbers(a, b);
  if (a.isText() && b.isText()) return a.rows() == b.rows() && a.text16() == b.text16();
  if (a.isCell() && b.isCell()) return sameCells(a, b);
  return false;
}

}  // namespace

bool compareStruct(const Value& a, const Value& b) {
  if (!a.isRecord() || !b.isRecord()) return false;
  if (a.fields().size() != b.fields().size()) return false;
  for (std::size_t i = 0; i < a.fields().size(); ++i) {
    const auto& [nameA, valueA] = a.fields()[i];
    const auto& [nameB, valueB] = b.fields()[i];
    if (nameA != nameB || !sameFieldValue(valueA, valueB)) return false;
  }
  return true;
}

}  // namespace dot11b::settings

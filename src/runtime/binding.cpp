// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/binding.h"

#include <climits>
#include <cmath>
#include <stdexcept>

#include "runtime/shortest_text.h"

namespace dot11b::rt {

namespace {

[[noreturn]] void fail(ArgRef ref, const std::string& what) {
  throw std::invalid_argument(std::string(ref.routine) + ": input '" + std::string(ref.name) + "' " + what);
}

void requireRealNumeric(const Value& v, ArgRef ref) {
  if (!v.isNumeric()) fail(ref, "must be numeric, not " + describe(v));
  if (v.isComplex()) fail(ref, "must be real, not complex");
}

}  // namespace

const Value& input(const Values& in, std::size_t i, ArgRef ref) {
  if (i >= in.size())
    throw std::invalid_argument(std::string(ref.routine) + ": not enough input arguments ('" +
                                std::string(ref.name) + "' is missing)");
  return in[i];
}

bool given(const Values& in, std::size_t i) { return i < in.size(); }

double toScalar(const Value& v, ArgRef ref) {
  requireRealNumeric(v, ref);
  if (!v.isScalar()) fail(ref, "must be one number, not " + describe(v));
  return v.re(0);
}

double toWhole(const Value& v, ArgRef ref) {
  const double x = toScalar(v, ref);
  if (!std::isfinite(x) || x != std::trunc(x)) fail(ref, "must be a whole number, not " + shortestText(x));
  return x;
}

std::uint64_t toCount(const Value& v, ArgRef ref) {
  const double x = toWhole(v, ref);
  if (x < 0 || x > 9007199254740992.0) fail(ref, "must be a whole number from 0 to 2^53, not " + shortestText(x));
  return static_cast<std::uint64_t>(x);
}

int toFlag(const Value& v, ArgRef ref) {
  const double x = toScalar(v, ref);
  if (x != 0 && x != 1) fail(ref, "must be 0 or 1, not " + shortestText(x));
  return static_cast<int>(x);
}

std::complex<double> toComplexScalar(const Value& v, ArgRef ref) {
  if (!v.isNumeric()) fail(ref, "must be numeric, not " + describe(v));
  if (!v.isScalar()) fail(ref, "must be one number, not " + describe(v));
  return v.at(0);
}

std::vector<uint8_t> toBits(const Value& v, ArgRef ref) {
  if (v.isEmpty() && (v.isNumeric() || v.isText())) return {};
  requireRealNumeric(v, ref);
  if (!v.isVector()) fail(ref, "must be a bit vector, not " + describe(v));
  std::vector<uint8_t> bits(v.numel());
  for (std::size_t i = 0; i < bits.size(); ++i) {
    const double b = v.re(i);
    if (b != 0 && b != 1) fail(ref, "must hold only bits 0 and 1; element " + std::to_string(i + 1) + " is " + shortestText(b));
    bits[i] = static_cast<uint8_t>(b);
  }
  return bits;
}

std::vector<double> toRealVector(const Value& v, ArgRef ref) {
  if (v.isEmpty() && v.isNumeric()) return {};
  requireRealNumeric(v, ref);
  if (!v.isVector()) fail(ref, "must be a vector, not " + describe(v));
  return v.real();
}

std::vector<std::complex<double>> toComplexVector(const Value& v, ArgRef ref) {
  if (v.isEmpty() && v.isNumeric()) return {};
  if (!v.isNumeric()) fail(ref, "must be numeric, not " + describe(v));
  if (!v.isVector()) fail(ref, "must be a vector, not " + describe(v));
  std::vector<std::complex<double>> out(v.numel());
  for (std::size_t i = 0; i < out.size(); ++i) out[i] = v.at(i);
  return out;
}

std::string toText(const Value& v, ArgRef ref) {
  if (!v.isText() && !(v.isNumeric() && v.isEmpty())) fail(ref, "must be text, not " + describe(v));
  return v.toUtf8();
}

const Value& toRecord(const Value& v, ArgRef ref) {
  if (!v.isRecord()) fail(ref, "must be a record, not " + describe(v));
  return v;
}

Value fromBits(const std::vector<uint8_t>& bits) {
  return Value::row(std::vector<double>(bits.begin(), bits.end()));
}

Value fromReal(const std::vector<double>& row) { return Value::row(row); }

Value fromComplex(const std::vector<std::complex<double>>& row) {
  Value v = Value::complexRow(row);
  v.dropZeroImaginary();
  return v;
}

Value fromComplex(const std::vector<std::complex<double>>& values, std::size_t rows, std::size_t cols) {
  std::vector<double> re(values.size()), im(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    re[i] = values[i].real();
    im[i] = values[i].imag();
  }
  Value v = Value::matrix(rows, cols, std::move(re), std::move(im));
  v.dropZeroImaginary();
  return v;
}

int Inputs::integer(std::size_t i, std::string_view name) const {
  const double x = whole(i, name);
  if (x < INT_MIN || x > INT_MAX)
    throw std::invalid_argument(std::string(routine_) + ": input '" + std::string(name) + "' is out of range: " +
                                shortestText(x));
  return static_cast<int>(x);
}

Value fromMarkerRows(const std::vector<uint8_t>& row1, const std::vector<uint8_t>& row2) {
  if (row1.size() != row2.size()) throw std::invalid_argument("marker rows must be equally long");
  std::vector<double> values(2 * row1.size());
  for (std::size_t i = 0; i < row1.size(); ++i) {
    values[2 * i] = row1[i];
    values[2 * i + 1] = row2[i];
  }
  return Value::matrix(2, row1.size(), std::move(values));
}

}  // namespace dot11b::rt

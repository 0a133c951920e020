// SPDX-License-Identifier: GPL-3.0-or-later
// Helpers for the bindings that wrap typed routines for the registry: converting array values at the
// boundary, with errors that name the routine and the argument.
#pragma once

#include <complex>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/shared_api.h"
#include "runtime/library.h"
#include "runtime/value.h"

namespace dot11b::rt {

// Where a conversion happens, for messages: "Dot11b_HEADER: input 'DATArate' ...".
struct ArgRef {
  std::string_view routine;
  std::string_view name;
};

// Input i, or a "not enough input arguments" error naming the routine.
DOT11B_SHARED const Value& input(const Values& in, std::size_t i, ArgRef ref);
bool given(const Values& in, std::size_t i);  // present (a trailing input may be left out)

DOT11B_SHARED double toScalar(const Value& v, ArgRef ref);                  // a real number
double toWhole(const Value& v, ArgRef ref);                   // a real whole number
std::uint64_t toCount(const Value& v, ArgRef ref);            // a whole number >= 0
int toFlag(const Value& v, ArgRef ref);                       // 0 or 1
std::complex<double> toComplexScalar(const Value& v, ArgRef ref);
std::vector<uint8_t> toBits(const Value& v, ArgRef ref);      // a vector (or empty) of 0/1
DOT11B_SHARED std::vector<double> toRealVector(const Value& v, ArgRef ref); // a real vector (or empty)
DOT11B_SHARED std::vector<std::complex<double>> toComplexVector(const Value& v, ArgRef ref);
DOT11B_SHARED std::string toText(const Value& v, ArgRef ref);
DOT11B_SHARED const Value& toRecord(const Value& v, ArgRef ref);

// The inputs of one call, converted by position with the routine's and the input's name in every message:
//   Inputs args(in, "Dot11b_HEADER");
//   const double rate = args.scalar(1, "DATArate");
class DOT11B_SHARED Inputs {
 public:
  Inputs(const Values& in, std::string_view routine) : in_(in), routine_(routine) {}

  std::string_view routine() const { return routine_; }
  std::size_t size() const { return in_.size(); }
  bool given(std::size_t i) const { return i < in_.size(); }
  const Value& at(std::size_t i, std::string_view name) const { return input(in_, i, {routine_, name}); }

  double scalar(std::size_t i, std::string_view name) const { return toScalar(at(i, name), {routine_, name}); }
  double whole(std::size_t i, std::string_view name) const { return toWhole(at(i, name), {routine_, name}); }
  // A whole-number setting (a preamble type, a register order) as int; the typed routine checks its range.
  int integer(std::size_t i, std::string_view name) const;
  std::uint64_t count(std::size_t i, std::string_view name) const { return toCount(at(i, name), {routine_, name}); }
  int flag(std::size_t i, std::string_view name) const { return toFlag(at(i, name), {routine_, name}); }
  std::complex<double> complexScalar(std::size_t i, std::string_view name) const {
    return toComplexScalar(at(i, name), {routine_, name});
  }
  std::vector<uint8_t> bits(std::size_t i, std::string_view name) const { return toBits(at(i, name), {routine_, name}); }
  std::vector<double> realVector(std::size_t i, std::string_view name) const {
    return toRealVector(at(i, name), {routine_, name});
  }
  std::vector<std::complex<double>> complexVector(std::size_t i, std::string_view name) const {
    return toComplexVector(at(i, name), {routine_, name});
  }
  std::string text(std::size_t i, std::string_view name) const { return toText(at(i, name), {routine_, name}); }
  const Value& record(std::size_t i, std::string_view name) const { return toRecord(at(i, name), {routine_, name}); }

 private:
  const Values& in_;
  std::string_view routine_;
};

// Results: bits and numbers as real rows of doubles, complex rows. A complex result whose imaginary parts
// are all zero becomes real, as arithmetic results do.
Value fromBits(const std::vector<uint8_t>& bits);
Value fromReal(const std::vector<double>& row);
DOT11B_SHARED Value fromComplex(const std::vector<std::complex<double>>& row);
Value fromComplex(const std::vector<std::complex<double>>& values, std::size_t rows, std::size_t cols);
// Two rows of 0/1 of equal length, as a frame's markers.
Value fromMarkerRows(const std::vector<uint8_t>& row1, const std::vector<uint8_t>& row2);

}  // namespace dot11b::rt

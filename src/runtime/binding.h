// Helpers for the bindings that wrap typed routines for the registry: converting array values at the
// boundary, with errors that name the routine and the argument.
#pragma once

#include <complex>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/library.h"
#include "runtime/value.h"

namespace dot11b::rt {

// Where a conversion happens, for messages: "Dot11b_HEADER: input 'DATArate' ...".
struct ArgRef {
  std::string_view routine;
  std::string_view name;
};

// Input i, or a "not enough input arguments" error naming the routine.
const Value& input(const Values& in, std::size_t i, ArgRef ref);
bool given(const Values& in, std::size_t i);  // present (a trailing input may be left out)

double toScalar(const Value& v, ArgRef ref);                  // a real number
double toWhole(const Value& v, ArgRef ref);                   // a real whole number
std::uint64_t toCount(const Value& v, ArgRef ref);            // a whole number >= 0
int toFlag(const Value& v, ArgRef ref);                       // 0 or 1
std::complex<double> toComplexScalar(const Value& v, ArgRef ref);
std::vector<uint8_t> toBits(const Value& v, ArgRef ref);      // a vector (or empty) of 0/1
std::vector<double> toRealVector(const Value& v, ArgRef ref); // a real vector (or empty)
std::vector<std::complex<double>> toComplexVector(const Value& v, ArgRef ref);
std::string toText(const Value& v, ArgRef ref);
const Value& toRecord(const Value& v, ArgRef ref);

// Results: bits and numbers as real rows of doubles, complex rows, text.
Value fromBits(const std::vector<uint8_t>& bits);
Value fromReal(const std::vector<double>& row);
Value fromComplex(const std::vector<std::complex<double>>& row);

}  // namespace dot11b::rt

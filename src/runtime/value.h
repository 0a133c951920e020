// SPDX-License-Identifier: GPL-3.0-or-later
// The array value passed between all routines of the library: two-dimensional real or complex numeric
// arrays, 16-bit text, records with ordered fields, and cell lists. Window and control handles are real
// numbers, keys into the toolkit's handle table, as everywhere else in the library.
#pragma once

#include "runtime/shared_api.h"

#include <complex>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace dot11b::rt {

enum class ValueClass { Numeric, Text, Record, Cell };

// Storage class of a numeric array; arithmetic always happens in double. Files keep the class.
enum class NumericClass { Double, Single, Int8, UInt8, Int16, UInt16, Int32, UInt32, Int64, UInt64, Logical };

class DOT11B_SHARED Value {
 public:
  using Field = std::pair<std::string, Value>;

  // The empty 0x0 real double array.
  Value() = default;

  static Value scalar(double v);
  static Value complexScalar(std::complex<double> v);
  // rows x cols zeros.
  static Value zeros(std::size_t rows, std::size_t cols);
  // A real row (1 x n) or column (n x 1).
  static Value row(std::vector<double> re);
  static Value column(std::vector<double> re);
  static Value complexRow(const std::vector<std::complex<double>>& values);
  // Numeric matrix from column-major data; im empty for a real array.
  static Value matrix(std::size_t rows, std::size_t cols, std::vector<double> re, std::vector<double> im = {});
  // Text from UTF-8 (stored as UTF-16 code units, one row).
  static Value text(std::string_view utf8);
  static Value text16(std::u16string units, std::size_t rows = 1);
  // An empty record (1x1, no fields).
  static Value record();
  static Value cell(std::size_t rows, std::size_t cols);

  ValueClass valueClass() const { return class_; }
  bool isNumeric() const { return class_ == ValueClass::Numeric; }
  bool isText() const { return class_ == ValueClass::Text; }
  bool isRecord() const { return class_ == ValueClass::Record; }
  bool isCell() const { return class_ == ValueClass::Cell; }

  std::size_t rows() const { return rows_; }
  std::size_t cols() const { return cols_; }
  std::size_t numel() const { return rows_ * cols_; }
  bool isEmpty() const { return numel() == 0; }
  bool isScalar() const { return numel() == 1; }
  bool isVector() const { return rows_ == 1 || cols_ == 1; }

  // Numeric arrays.
  NumericClass numericClass() const { return numClass_; }
  void setNumericClass(NumericClass c) { numClass_ = c; }
  bool isComplex() const { return !im_.empty(); }
  const std::vector<double>& real() const { return re_; }
  const std::vector<double>& imag() const { return im_; }  // empty when real
  double re(std::size_t i) const { return re_.at(i); }
  double im(std::size_t i) const { return im_.empty() ? 0.0 : im_.at(i); }
  std::complex<double> at(std::size_t i) const { return {re(i), im(i)}; }
  // First element of a numeric array; throws when empty or not numeric.
  double scalarValue() const;
  // Drops an all-zero imaginary part, as arithmetic results do.
  void dropZeroImaginary();

  // Text.
  const std::u16string& text16() const { return text_; }
  std::string toUtf8() const;

  // Records: fields in creation order; setting an existing field keeps its place.
  const std::vector<Field>& fields() const { return fields_; }
  bool hasField(std::string_view name) const;
  const Value& field(std::string_view name) const;  // throws when missing
  Value& field(std::string_view name);              // throws when missing
  const Value* findField(std::string_view name) const;
  Value* findField(std::string_view name);
  void setField(std::string_view name, Value v);
  std::vector<std::string> fieldNames() const;

  // Cell lists (column-major).
  const std::vector<Value>& cells() const { return cells_; }
  std::vector<Value>& cells() { return cells_; }

  // Same class, size, numeric class, data and (records) field order; NaN equals nothing, as in arithmetic.
  friend bool operator==(const Value& a, const Value& b);

 private:
  ValueClass class_ = ValueClass::Numeric;
  NumericClass numClass_ = NumericClass::Double;
  std::size_t rows_ = 0, cols_ = 0;
  std::vector<double> re_, im_;
  std::u16string text_;
  std::vector<Field> fields_;
  std::vector<Value> cells_;
};

// A short description of a value's kind and size for error messages, e.g. "1x3 double", "text", "record".
DOT11B_SHARED std::string describe(const Value& v);

std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view units);

}  // namespace dot11b::rt

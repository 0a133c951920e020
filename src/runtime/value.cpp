// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/value.h"

#include <algorithm>
#include <cstdint>
#include <stdexcept>

namespace dot11b::rt {

namespace {

// rows x cols as an element count; a product past the size type would wrap and leave a shape that does
// not match the data.
std::size_t elementCount(std::size_t rows, std::size_t cols) {
  if (cols != 0 && rows > SIZE_MAX / cols)
    throw std::invalid_argument("array size " + std::to_string(rows) + "x" + std::to_string(cols) + " is too large");
  return rows * cols;
}

}  // namespace

Value Value::scalar(double v) { return matrix(1, 1, {v}); }

Value Value::complexScalar(std::complex<double> v) { return matrix(1, 1, {v.real()}, {v.imag()}); }

Value Value::zeros(std::size_t rows, std::size_t cols) {
  return matrix(rows, cols, std::vector<double>(elementCount(rows, cols), 0.0));
}

Value Value::row(std::vector<double> re) {
  const std::size_t n = re.size();
  return matrix(n == 0 ? 0 : 1, n, std::move(re));
}

Value Value::column(std::vector<double> re) {
  const std::size_t n = re.size();
  return matrix(n, n == 0 ? 0 : 1, std::move(re));
}

Value Value::complexRow(const std::vector<std::complex<double>>& values) {
  std::vector<double> re(values.size()), im(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    re[i] = values[i].real();
    im[i] = values[i].imag();
  }
  const std::size_t n = values.size();
  return matrix(n == 0 ? 0 : 1, n, std::move(re), std::move(im));
}

Value Value::matrix(std::size_t rows, std::size_t cols, std::vector<double> re, std::vector<double> im) {
  if (re.size() != elementCount(rows, cols) || (!im.empty() && im.size() != re.size()))
    throw std::invalid_argument("array data does not match its size " + std::to_string(rows) + "x" +
                                std::to_string(cols));
  Value v;
  v.rows_ = rows;
  v.cols_ = cols;
  v.re_ = std::move(re);
  v.im_ = std::move(im);
  return v;
}

Value Value::text(std::string_view utf8) { return text16(utf8ToUtf16(utf8)); }

Value Value::text16(std::u16string units, std::size_t rows) {
  Value v;
  v.class_ = ValueClass::Text;
  if (units.empty()) {
    v.rows_ = 0;
    v.cols_ = 0;
  } else {
    if (rows == 0 || units.size() % rows != 0) throw std::invalid_argument("text does not fill its rows");
    v.rows_ = rows;
    v.cols_ = units.size() / rows;
  }
  v.text_ = std::move(units);
  return v;
}

Value Value::record() {
  Value v;
  v.class_ = ValueClass::Record;
  v.rows_ = v.cols_ = 1;
  return v;
}

Value Value::cell(std::size_t rows, std::size_t cols) {
  const std::size_t count = elementCount(rows, cols);
  Value v;
  v.class_ = ValueClass::Cell;
  v.rows_ = rows;
  v.cols_ = cols;
  v.cells_.resize(count);
  return v;
}

double Value::scalarValue() const {
  if (!isNumeric() || isEmpty()) throw std::invalid_argument("a number is required, not " + describe(*this));
  return re_.front();
}

void Value::dropZeroImaginary() {
  if (std::all_of(im_.begin(), im_.end(), [](double x) { return x == 0.0; })) im_.clear();
}

std::string Value::toUtf8() const { return utf16ToUtf8(text_); }

bool Value::hasField(std::string_view name) const { return findField(name) != nullptr; }

const Value* Value::findField(std::string_view name) const {
  for (const auto& f : fields_)
    if (f.first == name) return &f.second;
  return nullptr;
}

Value* Value::findField(std::string_view name) {
  return const_cast<Value*>(static_cast<const Value*>(this)->findField(name));
}

const Value& Value::field(std::string_view name) const {
  const Value* v = findField(name);
  if (!v) throw std::invalid_argument("Reference to non-existent field '" + std::string(name) + "'.");
  return *v;
}

Value& Value::field(std::string_view name) {
  return const_cast<Value&>(static_cast<const Value*>(this)->field(name));
}

void Value::setField(std::string_view name, Value v) {
  if (!isRecord()) throw std::invalid_argument("fields can only be set on a record, not on " + describe(*this));
  if (Value* existing = findField(name)) {
    *existing = std::move(v);
    return;
  }
  fields_.emplace_back(std::string(name), std::move(v));
}

std::vector<std::string> Value::fieldNames() const {
  std::vector<std::string> names;
  names.reserve(fields_.size());
  for (const auto& f : fields_) names.push_back(f.first);
  return names;
}

bool operator==(const Value& a, const Value& b) {
  if (a.class_ != b.class_ || a.rows_ != b.rows_ || a.cols_ != b.cols_) return false;
  switch (a.class_) {
    case ValueClass::Numeric:
      if (a.numClass_ != b.numClass_ || a.re_ != b.re_) return false;
      if (a.isComplex() || b.isComplex()) {
        for (std::size_t i = 0; i < a.re_.size(); ++i)
          if (a.im(i) != b.im(i)) return false;
      }
      return true;
    case ValueClass::Text:
      return a.text_ == b.text_;
    case ValueClass::Record:
      return a.fields_ == b.fields_;
    case ValueClass::Cell:
      return a.cells_ == b.cells_;
  }
  return false;
}

std::string describe(const Value& v) {
  const std::string size = std::to_string(v.rows()) + "x" + std::to_string(v.cols());
  switch (v.valueClass()) {
    case ValueClass::Numeric:
      return size + (v.isComplex() ? " complex" : " real") + " array";
    case ValueClass::Text:
      return size + " text";
    case ValueClass::Record:
      return "record";
    case ValueClass::Cell:
      return size + " cell list";
  }
  return "value";
}

std::u16string utf8ToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp;
    std::size_t len;
    if (c < 0x80) { cp = c; len = 1; }
    else if ((c >> 5) == 0x6) { cp = c & 0x1F; len = 2; }
    else if ((c >> 4) == 0xE) { cp = c & 0x0F; len = 3; }
    else if ((c >> 3) == 0x1E) { cp = c & 0x07; len = 4; }
    else throw std::invalid_argument("text is not valid UTF-8");
    if (i + len > s.size()) throw std::invalid_argument("text is not valid UTF-8");
    for (std::size_t k = 1; k < len; ++k) {
      const unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc >> 6) != 0x2) throw std::invalid_argument("text is not valid UTF-8");
      cp = (cp << 6) | (cc & 0x3F);
    }
    // Overlong forms, UTF-16 surrogates and code points past U+10FFFF are not valid UTF-8 (RFC 3629); the
    // last would otherwise turn into a broken surrogate pair.
    static constexpr char32_t kSmallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallestOfLength[len] || (cp >= 0xD800 && cp < 0xE000) || cp > 0x10FFFF)
      throw std::invalid_argument("text is not valid UTF-8");
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += len;
  }
  return out;
}

std::string utf16ToUtf8(std::u16string_view units) {
  std::string out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size(); ++i) {
    char32_t cp = units[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    }
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

}  // namespace dot11b::rt

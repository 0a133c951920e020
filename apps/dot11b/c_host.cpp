// SPDX-License-Identifier: GPL-3.0-or-later
#include "c_host.h"

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace dot11b::cli {

using rt::Value;

dot11b_array* toHandle(const Value& v) {
  switch (v.valueClass()) {
    case rt::ValueClass::Numeric:
      return dot11b_create_matrix(v.rows(), v.cols(), v.real().data(), v.isComplex() ? v.imag().data() : nullptr);
    case rt::ValueClass::Text:
      return dot11b_create_text(v.toUtf8().c_str());
    case rt::ValueClass::Record: {
      dot11b_array* r = dot11b_create_record();
      for (const auto& [name, value] : v.fields()) {
        dot11b_array* f = toHandle(value);
        dot11b_set_field(r, name.c_str(), f);
        dot11b_free(f);
      }
      return r;
    }
    case rt::ValueClass::Cell: {
      dot11b_array* c = dot11b_create_cell(v.rows(), v.cols());
      for (std::size_t i = 0; i < v.cells().size(); ++i) {
        dot11b_array* e = toHandle(v.cells()[i]);
        dot11b_set_cell(c, i, e);
        dot11b_free(e);
      }
      return c;
    }
  }
  throw std::logic_error("unknown value class");
}

Value fromHandle(const dot11b_array* a) {
  const std::size_t rows = dot11b_rows(a), cols = dot11b_cols(a), n = rows * cols;
  switch (dot11b_class_of(a)) {
    case DOT11B_NUMERIC: {
      const double* re = dot11b_real(a);
      const double* im = dot11b_imag(a);
      return Value::matrix(rows, cols, std::vector<double>(re, re + n),
                           im ? std::vector<double>(im, im + n) : std::vector<double>());
    }
    case DOT11B_TEXT: {
      std::string text(dot11b_text(a, nullptr, 0), '\0');
      dot11b_text(a, text.data(), text.size() + 1);
      return Value::text(text);
    }
    case DOT11B_RECORD: {
      Value r = Value::record();
      for (std::size_t i = 0; i < dot11b_field_count(a); ++i) {
        const char* name = dot11b_field_name(a, i);
        r.setField(name, fromHandle(dot11b_field(a, name)));
      }
      return r;
    }
    case DOT11B_CELL: {
      Value c = Value::cell(rows, cols);
      for (std::size_t i = 0; i < n; ++i) c.cells()[i] = fromHandle(dot11b_get_cell(a, i));
      return c;
    }
  }
  throw std::logic_error("unknown value class");
}

std::vector<Value> callRoutine(const char* routine, const std::vector<Value>& inputs, int nargout) {
  std::vector<dot11b_array*> in;
  for (const Value& v : inputs) in.push_back(toHandle(v));
  // A routine may give its first result even when none is asked for: one slot at least.
  std::vector<dot11b_array*> out(static_cast<std::size_t>(std::max(nargout, 1)), nullptr);
  const int rc = dot11b_call(routine, nargout, out.data(), static_cast<int>(in.size()), in.data());
  for (dot11b_array* a : in) dot11b_free(a);
  std::vector<Value> results;
  for (std::size_t i = 0; i < out.size(); ++i) {
    if (i < static_cast<std::size_t>(nargout)) results.push_back(out[i] != nullptr ? fromHandle(out[i]) : Value());
    dot11b_free(out[i]);
  }
  if (rc != 0) throw std::runtime_error(dot11b_last_error());
  return results;
}

bool drawOffscreen(const char* routine, const std::vector<Value>& inputs, const std::string& png,
                   const std::string& csv, int width, int height) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  LibrarySession session;
  const Value window = callRoutine(routine, inputs, 1).at(0);
  if (window.isEmpty()) return false;
  if (!png.empty())
    callRoutine("VX_ExportPlot", {window, Value::text(png), Value::scalar(width), Value::scalar(height)}, 0);
  if (!csv.empty()) callRoutine("VX_ExportPlot", {window, Value::text(csv)}, 0);
  return true;
}

LibrarySession::LibrarySession() {
  if (!Dot11b_c_libInitialize()) throw std::runtime_error(std::string("cannot initialize the library: ") + dot11b_last_error());
}

LibrarySession::~LibrarySession() { Dot11b_c_libTerminate(); }

}  // namespace dot11b::cli

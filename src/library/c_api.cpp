// SPDX-License-Identifier: GPL-3.0-or-later
// Library control and the C interface to array values.
#include <cstring>
#include <exception>
#include <iostream>

#include "runtime/c_calls.h"
#include "runtime/error_text.h"
#include "runtime/library.h"

using dot11b::rt::Value;

namespace {

using dot11b::rt::handleOf;
using dot11b::rt::valueOf;

// A NULL handle reads as the empty array, so a missing result never crashes a reader.
const Value& view(const dot11b_array* a) {
  static const Value empty;
  return a ? *valueOf(a) : empty;
}

dot11b_array* wrap(Value v) { return dot11b::rt::newHandle(std::move(v)); }

template <typename Body, typename Result>
Result noThrow(Body&& body, Result failure) {
  try {
    return body();
  } catch (const std::exception& e) {
    dot11b::rt::setLastError(dot11b::rt::userMessage(e));
  } catch (...) {
    dot11b::rt::setLastError("unknown error");
  }
  return failure;
}

}  // namespace

extern "C" {

int Dot11b_c_libInitialize(void) {
  return noThrow([] { dot11b::rt::initializeLibrary(); return 1; }, 0);
}

void Dot11b_c_libTerminate(void) { dot11b::rt::terminateLibrary(); }

const char* dot11b_last_error(void) { return dot11b::rt::lastErrorText(); }

dot11b_array* dot11b_create_scalar(double value) { return wrap(Value::scalar(value)); }

dot11b_array* dot11b_create_matrix(size_t rows, size_t cols, const double* re, const double* im) {
  return noThrow(
      [&] {
        const size_t n = rows * cols;
        std::vector<double> r(n, 0.0), i;
        if (re) std::copy(re, re + n, r.begin());
        if (im) i.assign(im, im + n);
        return wrap(Value::matrix(rows, cols, std::move(r), std::move(i)));
      },
      static_cast<dot11b_array*>(nullptr));
}

dot11b_array* dot11b_create_text(const char* utf8) {
  return noThrow([&] { return wrap(Value::text(utf8 ? utf8 : "")); }, static_cast<dot11b_array*>(nullptr));
}

dot11b_array* dot11b_create_record(void) { return wrap(Value::record()); }

dot11b_array* dot11b_create_cell(size_t rows, size_t cols) {
  return noThrow([&] { return wrap(Value::cell(rows, cols)); }, static_cast<dot11b_array*>(nullptr));
}

dot11b_array* dot11b_duplicate(const dot11b_array* a) { return a ? wrap(*valueOf(a)) : nullptr; }

void dot11b_free(dot11b_array* a) { delete valueOf(a); }

dot11b_class dot11b_class_of(const dot11b_array* a) { return static_cast<dot11b_class>(view(a).valueClass()); }

size_t dot11b_rows(const dot11b_array* a) { return view(a).rows(); }

size_t dot11b_cols(const dot11b_array* a) { return view(a).cols(); }

int dot11b_is_complex(const dot11b_array* a) { return view(a).isNumeric() && view(a).isComplex(); }

const double* dot11b_real(const dot11b_array* a) { return view(a).isNumeric() ? view(a).real().data() : nullptr; }

const double* dot11b_imag(const dot11b_array* a) {
  return view(a).isNumeric() && view(a).isComplex() ? view(a).imag().data() : nullptr;
}

size_t dot11b_text(const dot11b_array* a, char* buf, size_t cap) {
  if (!view(a).isText()) return 0;
  const std::string s = view(a).toUtf8();
  if (buf && cap > 0) {
    const size_t n = std::min(cap - 1, s.size());
    std::memcpy(buf, s.data(), n);
    buf[n] = '\0';
  }
  return s.size();
}

int dot11b_set_field(dot11b_array* record, const char* name, const dot11b_array* value) {
  if (!record || !name || !value) return -1;
  return noThrow([&] { valueOf(record)->setField(name, *valueOf(value)); return 0; }, -1);
}

size_t dot11b_field_count(const dot11b_array* record) {
  return view(record).isRecord() ? view(record).fields().size() : 0;
}

const char* dot11b_field_name(const dot11b_array* record, size_t index) {
  if (!view(record).isRecord() || index >= view(record).fields().size()) return nullptr;
  return view(record).fields()[index].first.c_str();
}

const dot11b_array* dot11b_field(const dot11b_array* record, const char* name) {
  if (!view(record).isRecord() || !name) return nullptr;
  return handleOf(view(record).findField(name));
}

int dot11b_set_cell(dot11b_array* cell, size_t index, const dot11b_array* value) {
  if (!cell || !value || !valueOf(cell)->isCell() || index >= valueOf(cell)->cells().size()) return -1;
  valueOf(cell)->cells()[index] = *valueOf(value);
  return 0;
}

const dot11b_array* dot11b_get_cell(const dot11b_array* cell, size_t index) {
  if (!view(cell).isCell() || index >= view(cell).cells().size()) return nullptr;
  return handleOf(&view(cell).cells()[index]);
}

dot11b_array* dot11b_get_global(const char* name) {
  return noThrow([&] { return wrap(dot11b::rt::global(name)); }, static_cast<dot11b_array*>(nullptr));
}

int dot11b_set_global(const char* name, const dot11b_array* value) {
  return noThrow([&] { dot11b::rt::global(name) = *valueOf(value); return 0; }, -1);
}

const char* dot11b_routine_name(size_t index) {
  static thread_local std::vector<std::string> names;
  if (!dot11b::rt::libraryInitialized()) return nullptr;
  // Refilled only when the registered names change, so that a name handed out earlier stays valid while
  // the caller goes on through the list.
  if (std::vector<std::string> current = dot11b::rt::routineNames(); current != names) names = std::move(current);
  return index < names.size() ? names[index].c_str() : nullptr;
}

int dot11b_routine_counts(const char* name, int* max_inputs, int* max_outputs) {
  if (!dot11b::rt::libraryInitialized()) return -1;
  const dot11b::rt::Routine* r = dot11b::rt::findRoutine(name);
  if (!r) return -1;
  if (max_inputs) *max_inputs = r->maxInputs;
  if (max_outputs) *max_outputs = r->maxOutputs;
  return 0;
}

int dot11b_call(const char* name, int nlhs, dot11b_array* plhs[], int nrhs, dot11b_array* prhs[]) {
  return dot11b::rt::callMlx(name, nlhs, plhs, nrhs, prhs);
}

}  // extern "C"

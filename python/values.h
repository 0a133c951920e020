// SPDX-License-Identifier: GPL-3.0-or-later
// Python values and the library's arrays, both ways: numpy arrays (numbers, column-major in the library)
// and Python numbers, str, dict (records, in order) and list (cell lists).
#pragma once

#include <pybind11/pybind11.h>

#include "dot11b/Dot11b_c_lib.h"

namespace dot11b::python {

// Owns an array of the library.
struct ArrayHandle {
  dot11b_array* array = nullptr;
  explicit ArrayHandle(dot11b_array* a = nullptr) : array(a) {}
  ArrayHandle(ArrayHandle&& other) noexcept : array(other.array) { other.array = nullptr; }
  ArrayHandle(const ArrayHandle&) = delete;
  ArrayHandle& operator=(const ArrayHandle&) = delete;
  ~ArrayHandle() { dot11b_free(array); }
};

// None is the empty array; bool, int and float a real scalar; complex a complex scalar; str text; dict a
// record (str keys); list and tuple a 1 x N cell list; a numpy array of up to two dimensions a matrix (one
// dimension: a row). Throws pybind11::type_error for anything else.
ArrayHandle toArray(const pybind11::handle& value);

// Text as str, a record as dict, a cell list as list (column-major), a 1 x 1 number as float or complex,
// other numbers as a 2-D numpy array (float64 or complex128).
pybind11::object fromArray(const dot11b_array* a);

}  // namespace dot11b::python

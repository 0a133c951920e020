// SPDX-License-Identifier: GPL-3.0-or-later
// Owned array handles and calls by name for tests of the library's exported C interface.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dot11b/Dot11b_c_lib.h"

namespace dot11b::testing {

class Array {
 public:
  explicit Array(dot11b_array* a = nullptr) : a_(a) {}
  ~Array() { dot11b_free(a_); }
  Array(Array&& other) noexcept : a_(other.a_) { other.a_ = nullptr; }
  Array(const Array&) = delete;
  Array& operator=(const Array&) = delete;
  Array& operator=(Array&& other) noexcept {
    std::swap(a_, other.a_);
    return *this;
  }

  dot11b_array* get() const { return a_; }
  dot11b_array** out() { return &a_; }
  std::size_t rows() const { return dot11b_rows(a_); }
  std::size_t cols() const { return dot11b_cols(a_); }
  std::vector<double> real() const {
    const double* re = dot11b_real(a_);
    return re ? std::vector<double>(re, re + rows() * cols()) : std::vector<double>{};
  }
  std::vector<double> imag() const {
    const double* im = dot11b_imag(a_);
    return im ? std::vector<double>(im, im + rows() * cols()) : std::vector<double>{};
  }
  std::string text() const {
    std::string buf(dot11b_text(a_, nullptr, 0) + 1, '\0');
    dot11b_text(a_, buf.data(), buf.size());
    buf.pop_back();
    return buf;
  }

 private:
  dot11b_array* a_;
};

inline Array scalar(double v) { return Array(dot11b_create_scalar(v)); }
inline Array row(const std::vector<double>& re) { return Array(dot11b_create_matrix(1, re.size(), re.data(), nullptr)); }
inline Array column(const std::vector<double>& re) {
  return Array(dot11b_create_matrix(re.size(), 1, re.data(), nullptr));
}
inline Array text(const char* utf8) { return Array(dot11b_create_text(utf8)); }

// Calls a routine by name in the mlx form: the status, with max(nlhs, 1) results appended to `results`.
inline int callRoutine(const char* name, int nlhs, std::vector<dot11b_array*> in, std::vector<Array>& results) {
  std::vector<dot11b_array*> out(static_cast<std::size_t>(std::max(nlhs, 1)), nullptr);
  const int status = dot11b_call(name, nlhs, out.data(), static_cast<int>(in.size()), in.data());
  for (dot11b_array* a : out) results.emplace_back(a);
  return status;
}

// The message of a call with more inputs (or results) than declared.
inline std::string arityMessage(const std::string& messageName, int line, int count, bool inputs = true) {
  return "Run-time Error: File: " + messageName + " Line: " + std::to_string(line) + " Column: 1 The function \"" +
         messageName + "\" was called with more than the declared number of " + (inputs ? "inputs" : "outputs") +
         " (" + std::to_string(count) + ").";
}

// A test suite that runs with the library initialized.
class LibraryTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(Dot11b_c_libInitialize(), 1); }
  static void TearDownTestSuite() { Dot11b_c_libTerminate(); }
};

}  // namespace dot11b::testing

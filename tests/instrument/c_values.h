// SPDX-License-Identifier: GPL-3.0-or-later
// Values for the binding tests, made and read through the library's exported C interface only.
#pragma once

#include <string>
#include <vector>

#include "dot11b/Dot11b_c_lib.h"
#include "support/c_array.h"

namespace instrument_test {

// Owns one array of the library.
using Handle = dot11b::testing::Array;

Handle text(const std::string& utf8);
Handle scalar(double value);
Handle complexRow(const std::vector<double>& re, const std::vector<double>& im);
Handle matrix(std::size_t rows, std::size_t cols, const std::vector<double>& columnMajor);

// Sets a field of a record or of one of its sub-records ("TCPIP.address").
void setField(Handle& record, const std::string& path, const Handle& value);
// A field's value by path, or null.
const dot11b_array* fieldOf(const dot11b_array* record, const std::string& path);
std::string textOf(const dot11b_array* a);

// A global after the format module's initializer of that name ran (e.g. "configuration").
Handle startRecord(const char* initializer, const char* global);
Handle tcpConfiguration(int port);

// The two results of a routine called in the mlx form; rc -1 with the error text when it failed.
struct Reply {
  int rc = 0;
  double status = -1;
  std::string description;
  std::string error;
};
Reply call2(const char* name, const std::vector<const Handle*>& inputs);

}  // namespace instrument_test

// SPDX-License-Identifier: GPL-3.0-or-later
#include "runtime/matfile/matfile_codec.h"

#include <matio.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>

namespace dot11b::rt {

namespace {

// The library's messages go to the error text of the failing call, never to the console.
thread_local std::string lastLibraryMessage;

void keepLibraryMessage(int, char* message) { lastLibraryMessage = message ? message : ""; }

void installLibraryLog() {
  static std::once_flag once;
  std::call_once(once, [] { Mat_LogInitFunc("dot11b", keepLibraryMessage); });
}

[[noreturn]] void fail(const std::string& what) {
  std::string text = what;
  if (!lastLibraryMessage.empty()) text += " (" + lastLibraryMessage + ")";
  throw MatFileError(text);
}

struct MatvarDeleter {
  void operator()(matvar_t* v) const { Mat_VarFree(v); }
};
using MatvarPtr = std::unique_ptr<matvar_t, MatvarDeleter>;

struct MatDeleter {
  void operator()(mat_t* m) const { Mat_Close(m); }
};
using MatPtr = std::unique_ptr<mat_t, MatDeleter>;

struct FdCloser {
  int fd;
  ~FdCloser() { if (fd >= 0) ::close(fd); }
};

// ---- reading ----

std::size_t elementCount(const matvar_t& v) {
  std::size_t n = 1;
  for (int i = 0; i < v.rank; ++i) n *= v.dims[i];
  return n;
}

template <typename T>
std::vector<double> toDoubles(const void* data, std::size_t n) {
  const T* typed = static_cast<const T*>(data);
  return std::vector<double>(typed, typed + n);
}

std::vector<double> numericPart(const matvar_t& v, const void* data, std::size_t n) {
  if (n == 0) return {};
  if (!data) fail("variable '" + std::string(v.name ? v.name : "") + "' has no data");
  switch (v.class_type) {
    case MAT_C_DOUBLE: return toDoubles<double>(data, n);
    case MAT_C_SINGLE: return toDoubles<float>(data, n);
    case MAT_C_INT8: return toDoubles<std::int8_t>(data, n);
    case MAT_C_UINT8: return toDoubles<std::uint8_t>(data, n);
    case MAT_C_INT16: return toDoubles<std::int16_t>(data, n);
    case MAT_C_UINT16: return toDoubles<std::uint16_t>(data, n);
    case MAT_C_INT32: return toDoubles<std::int32_t>(data, n);
    case MAT_C_UINT32: return toDoubles<std::uint32_t>(data, n);
    case MAT_C_INT64: return toDoubles<std::int64_t>(data, n);
    case MAT_C_UINT64: return toDoubles<std::uint64_t>(data, n);
    default: fail("unsupported numeric class " + std::to_string(v.class_type));
  }
}

NumericClass numericClassOf(const matvar_t& v) {
  if (v.isLogical) return NumericClass::Logical;
  switch (v.class_type) {
    case MAT_C_SINGLE: return NumericClass::Single;
    case MAT_C_INT8: return NumericClass::Int8;
    case MAT_C_UINT8: return NumericClass::UInt8;
    case MAT_C_INT16: return NumericClass::Int16;
    case MAT_C_UINT16: return NumericClass::UInt16;
    case MAT_C_INT32: return NumericClass::Int32;
    case MAT_C_UINT32: return NumericClass::UInt32;
    case MAT_C_INT64: return NumericClass::Int64;
    case MAT_C_UINT64: return NumericClass::UInt64;
    default: return NumericClass::Double;
  }
}

Value textFrom(const matvar_t& v, std::size_t rows, std::size_t n) {
  std::u16string units;
  if (n > 0 && !v.data) fail("text variable has no data");
  switch (v.data_type) {
    case MAT_T_UINT16:
    case MAT_T_UTF16: {
      const auto* p = static_cast<const std::uint16_t*>(v.data);
      units.assign(p, p + n);
      break;
    }
    case MAT_T_UINT8:
    case MAT_T_INT8: {
      const auto* p = static_cast<const unsigned char*>(v.data);
      units.assign(p, p + n);
      break;
    }
    case MAT_T_UTF8:
      try {
        units = utf8ToUtf16(std::string_view(static_cast<const char*>(v.data), v.nbytes));
      } catch (const std::invalid_argument&) {
        fail("text is not valid UTF-8");
      }
      break;
    default:
      fail("unsupported text encoding " + std::to_string(v.data_type));
  }
  if (units.size() != n) fail("text does not fill its " + std::to_string(rows) + " rows");
  return Value::text16(std::move(units), rows);
}

Value fromMatvar(matvar_t& v) {
  if (v.class_type == MAT_C_EMPTY) return Value();
  if (v.rank < 2 || !v.dims) fail("array without dimensions");
  for (int i = 2; i < v.rank; ++i)
    if (v.dims[i] != 1) fail("arrays of more than two dimensions are not supported");
  const std::size_t rows = v.dims[0], cols = v.dims[1], n = elementCount(v);
  switch (v.class_type) {
    case MAT_C_CHAR:
      return textFrom(v, rows, n);
    case MAT_C_STRUCT: {
      Value record = Value::record();
      const unsigned fieldCount = Mat_VarGetNumberOfFields(&v);
      char* const* names = Mat_VarGetStructFieldnames(&v);
      for (unsigned i = 0; i < fieldCount; ++i) {
        matvar_t* field = Mat_VarGetStructFieldByIndex(&v, i, 0);
        if (!field || !names || !names[i]) fail("record field " + std::to_string(i + 1) + " cannot be read");
        record.setField(names[i], fromMatvar(*field));
      }
      return record;
    }
    case MAT_C_CELL: {
      Value cell = Value::cell(rows, cols);
      for (std::size_t i = 0; i < n; ++i) {
        matvar_t* element = Mat_VarGetCell(&v, static_cast<int>(i));
        if (!element) fail("cell " + std::to_string(i + 1) + " cannot be read");
        cell.cells()[i] = fromMatvar(*element);
      }
      return cell;
    }
    default:
      break;
  }
  std::vector<double> re, im;
  if (v.isComplex) {
    const auto* split = static_cast<const mat_complex_split_t*>(v.data);
    if (n > 0 && !split) fail("complex variable has no data");
    if (split) {
      re = numericPart(v, split->Re, n);
      im = numericPart(v, split->Im, n);
    }
  } else {
    re = numericPart(v, v.data, n);
  }
  Value out = Value::matrix(rows, cols, std::move(re), std::move(im));
  out.setNumericClass(numericClassOf(v));
  return out;
}

// ---- writing ----

template <typename T>
std::vector<T> fromDoubles(const std::vector<double>& x) {
  return std::vector<T>(x.begin(), x.end());
}

// name: nullptr for a field value or cell element, which are stored without a name.
MatvarPtr toMatvar(const char* name, const Value& value);

template <typename T>
MatvarPtr numericVar(const char* name, const Value& value, matio_classes cls, matio_types type, int flags) {
  size_t dims[2] = {value.rows(), value.cols()};
  std::vector<T> re = fromDoubles<T>(value.real());
  if (value.isComplex()) {
    std::vector<T> im = fromDoubles<T>(value.imag());
    mat_complex_split_t split{re.data(), im.data()};
    return MatvarPtr(Mat_VarCreate(name, cls, type, 2, dims, &split, flags | MAT_F_COMPLEX));
  }
  return MatvarPtr(Mat_VarCreate(name, cls, type, 2, dims, re.empty() ? nullptr : re.data(), flags));
}

MatvarPtr numericToMatvar(const char* name, const Value& value) {
  switch (value.numericClass()) {
    case NumericClass::Double: return numericVar<double>(name, value, MAT_C_DOUBLE, MAT_T_DOUBLE, 0);
    case NumericClass::Single: return numericVar<float>(name, value, MAT_C_SINGLE, MAT_T_SINGLE, 0);
    case NumericClass::Int8: return numericVar<std::int8_t>(name, value, MAT_C_INT8, MAT_T_INT8, 0);
    case NumericClass::UInt8: return numericVar<std::uint8_t>(name, value, MAT_C_UINT8, MAT_T_UINT8, 0);
    case NumericClass::Int16: return numericVar<std::int16_t>(name, value, MAT_C_INT16, MAT_T_INT16, 0);
    case NumericClass::UInt16: return numericVar<std::uint16_t>(name, value, MAT_C_UINT16, MAT_T_UINT16, 0);
    case NumericClass::Int32: return numericVar<std::int32_t>(name, value, MAT_C_INT32, MAT_T_INT32, 0);
    case NumericClass::UInt32: return numericVar<std::uint32_t>(name, value, MAT_C_UINT32, MAT_T_UINT32, 0);
    case NumericClass::Int64: return numericVar<std::int64_t>(name, value, MAT_C_INT64, MAT_T_INT64, 0);
    case NumericClass::UInt64: return numericVar<std::uint64_t>(name, value, MAT_C_UINT64, MAT_T_UINT64, 0);
    case NumericClass::Logical:
      return numericVar<std::uint8_t>(name, value, MAT_C_UINT8, MAT_T_UINT8, MAT_F_LOGICAL);
  }
  fail("unknown numeric class");
}

MatvarPtr textToMatvar(const char* name, const Value& value) {
  // UTF-16 code units, as MATLAB stores characters (8-bit storage would corrupt non-ASCII text).
  size_t dims[2] = {value.rows(), value.cols()};
  std::u16string units = value.text16();
  return MatvarPtr(Mat_VarCreate(name, MAT_C_CHAR, MAT_T_UINT16, 2, dims,
                                 units.empty() ? nullptr : units.data(), 0));
}

MatvarPtr recordToMatvar(const char* name, const Value& value) {
  size_t dims[2] = {1, 1};
  std::vector<const char*> names;
  for (const auto& field : value.fields()) names.push_back(field.first.c_str());
  MatvarPtr record(Mat_VarCreateStruct(name, 2, dims, names.empty() ? nullptr : names.data(),
                                       static_cast<unsigned>(names.size())));
  if (!record) fail("cannot create a record");
  for (const auto& [fieldName, fieldValue] : value.fields()) {
    MatvarPtr field = toMatvar(nullptr, fieldValue);
    // The record takes ownership of the field.
    Mat_VarSetStructFieldByName(record.get(), fieldName.c_str(), 0, field.release());
  }
  return record;
}

MatvarPtr cellToMatvar(const char* name, const Value& value) {
  size_t dims[2] = {value.rows(), value.cols()};
  MatvarPtr cell(Mat_VarCreate(name, MAT_C_CELL, MAT_T_CELL, 2, dims, nullptr, 0));
  if (!cell) fail("cannot create a cell list");
  for (std::size_t i = 0; i < value.cells().size(); ++i)
    Mat_VarSetCell(cell.get(), static_cast<int>(i), toMatvar(nullptr, value.cells()[i]).release());
  return cell;
}

MatvarPtr toMatvar(const char* name, const Value& value) {
  MatvarPtr v;
  switch (value.valueClass()) {
    case ValueClass::Numeric: v = numericToMatvar(name, value); break;
    case ValueClass::Text: v = textToMatvar(name, value); break;
    case ValueClass::Record: v = recordToMatvar(name, value); break;
    case ValueClass::Cell: v = cellToMatvar(name, value); break;
  }
  if (!v) fail("cannot store a " + describe(value));
  return v;
}

MatVariables parse(std::string_view bytes) {
  installLibraryLog();
  lastLibraryMessage.clear();
  // The library parses exactly the bytes that were checked: an anonymous in-memory copy that nobody else
  // can change in between.
  FdCloser memory{::memfd_create("dot11b-mat", MFD_CLOEXEC)};
  if (memory.fd < 0) fail(std::string("cannot buffer the file: ") + std::strerror(errno));
  for (std::size_t done = 0; done < bytes.size();) {
    const ssize_t n = ::write(memory.fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) fail(std::string("cannot buffer the file: ") + std::strerror(errno));
    done += static_cast<std::size_t>(n);
  }
  const std::string memoryPath = "/proc/self/fd/" + std::to_string(memory.fd);
  MatPtr mat(Mat_Open(memoryPath.c_str(), MAT_ACC_RDONLY));
  if (!mat) fail("not a readable MAT-file");
  MatVariables variables;
  while (MatvarPtr v{Mat_VarReadNext(mat.get())}) {
    if (!v->name) fail("a variable has no name");
    variables.emplace_back(v->name, fromMatvar(*v));
  }
  return variables;
}

void write(const std::string& path, const MatVariables& variables) {
  installLibraryLog();
  lastLibraryMessage.clear();
  MatPtr mat(Mat_CreateVer(path.c_str(), nullptr, MAT_FT_MAT5));
  if (!mat) fail("Unable to open file '" + path + "' for writing");
  for (const auto& [name, value] : variables) {
    MatvarPtr v = toMatvar(name.c_str(), value);
    if (Mat_VarWrite(mat.get(), v.get(), MAT_COMPRESSION_NONE) != 0) fail("Unable to write '" + name + "' to '" + path + "'");
  }
  if (Mat_Close(mat.release()) != 0) fail("Unable to close '" + path + "'");
}

// Errors cross the module's boundary as text, never as exceptions.
template <typename Work>
bool reported(std::string& error, Work work) {
  try {
    work();
    return true;
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
}

bool parseReported(std::string_view bytes, MatVariables& variables, std::string& error) {
  return reported(error, [&] { variables = parse(bytes); });
}

bool writeReported(const std::string& path, const MatVariables& variables, std::string& error) {
  return reported(error, [&] { write(path, variables); });
}

}  // namespace

}  // namespace dot11b::rt

extern "C" DOT11B_MODULE_ENTRY const dot11b::rt::MatFileCodec* dot11b_matfile_codec() {
  static const dot11b::rt::MatFileCodec codec{dot11b::rt::kMatFileCodecVersion, dot11b::rt::parseReported,
                                              dot11b::rt::writeReported};
  return &codec;
}

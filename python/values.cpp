// SPDX-License-Identifier: GPL-3.0-or-later
#include "values.h"

#include <pybind11/complex.h>
#include <pybind11/numpy.h>

#include <complex>
#include <string>
#include <vector>

namespace py = pybind11;

namespace dot11b::python {

namespace {

ArrayHandle checked(dot11b_array* a, const char* what) {
  if (a == nullptr) throw py::value_error(std::string("cannot make the library's array of ") + what);
  return ArrayHandle(a);
}

ArrayHandle fromNumpy(const py::array& given) {
  if (given.ndim() > 2) throw py::type_error("arrays of more than two dimensions have no library value");
  const std::size_t rows = given.ndim() == 2 ? static_cast<std::size_t>(given.shape(0)) : 1;
  const std::size_t cols = given.ndim() == 0   ? 1
                           : given.ndim() == 1 ? static_cast<std::size_t>(given.shape(0))
                                               : static_cast<std::size_t>(given.shape(1));
  const bool complex = given.dtype().kind() == 'c';
  if (!complex && given.dtype().kind() != 'f' && given.dtype().kind() != 'i' && given.dtype().kind() != 'u' &&
      given.dtype().kind() != 'b')
    throw py::type_error("numpy arrays of dtype " + std::string(py::str(given.dtype())) + " have no library value");
  if (complex) {
    // Column-major, as the library holds matrices: the Fortran-ordered view of the array.
    const auto data = py::array_t<std::complex<double>, py::array::f_style | py::array::forcecast>::ensure(given);
    std::vector<double> re(rows * cols), im(rows * cols);
    const std::complex<double>* z = data.data();
    for (std::size_t k = 0; k < re.size(); ++k) {
      re[k] = z[k].real();
      im[k] = z[k].imag();
    }
    return checked(dot11b_create_matrix(rows, cols, re.data(), im.data()), "a complex array");
  }
  const auto data = py::array_t<double, py::array::f_style | py::array::forcecast>::ensure(given);
  return checked(dot11b_create_matrix(rows, cols, data.data(), nullptr), "an array");
}

}  // namespace

ArrayHandle toArray(const py::handle& value) {
  if (value.is_none()) return checked(dot11b_create_matrix(0, 0, nullptr, nullptr), "None");
  if (py::isinstance<py::bool_>(value) || py::isinstance<py::int_>(value) || py::isinstance<py::float_>(value))
    return checked(dot11b_create_scalar(value.cast<double>()), "a number");
  if (PyComplex_Check(value.ptr())) {
    const auto z = value.cast<std::complex<double>>();
    const double re = z.real(), im = z.imag();
    return checked(dot11b_create_matrix(1, 1, &re, &im), "a complex number");
  }
  if (py::isinstance<py::str>(value)) return checked(dot11b_create_text(value.cast<std::string>().c_str()), "a text");
  if (py::isinstance<py::dict>(value)) {
    ArrayHandle record = checked(dot11b_create_record(), "a dict");
    for (const auto& [key, item] : value.cast<py::dict>()) {
      if (!py::isinstance<py::str>(key)) throw py::type_error("a record's field names must be str");
      const ArrayHandle field = toArray(item);
      dot11b_set_field(record.array, key.cast<std::string>().c_str(), field.array);
    }
    return record;
  }
  if (py::isinstance<py::list>(value) || py::isinstance<py::tuple>(value)) {
    const auto items = py::reinterpret_borrow<py::sequence>(value);
    ArrayHandle cell = checked(dot11b_create_cell(1, items.size()), "a list");
    for (std::size_t k = 0; k < items.size(); ++k) {
      const ArrayHandle item = toArray(items[k]);
      dot11b_set_cell(cell.array, k, item.array);
    }
    return cell;
  }
  if (py::isinstance<py::array>(value) || py::hasattr(value, "__array__")) return fromNumpy(py::array::ensure(value));
  throw py::type_error("values of type " + std::string(py::str(value.get_type().attr("__name__"))) + " have no library value");
}

py::object fromArray(const dot11b_array* a) {
  const std::size_t rows = dot11b_rows(a), cols = dot11b_cols(a);
  switch (dot11b_class_of(a)) {
    case DOT11B_TEXT: {
      std::string text(dot11b_text(a, nullptr, 0) + 1, '\0');
      text.resize(dot11b_text(a, text.data(), text.size()));
      return py::str(text);
    }
    case DOT11B_RECORD: {
      py::dict record;
      for (std::size_t k = 0; k < dot11b_field_count(a); ++k) {
        const char* name = dot11b_field_name(a, k);
        record[py::str(name)] = fromArray(dot11b_field(a, name));
      }
      return record;
    }
    case DOT11B_CELL: {
      py::list items;
      for (std::size_t k = 0; k < rows * cols; ++k) items.append(fromArray(dot11b_get_cell(a, k)));
      return items;
    }
    case DOT11B_NUMERIC: break;
  }
  const double* re = dot11b_real(a);
  const double* im = dot11b_imag(a);
  if (rows * cols == 1) return im ? py::cast(std::complex<double>(re[0], im[0])) : py::cast(re[0]);
  const std::vector<py::ssize_t> shape{static_cast<py::ssize_t>(rows), static_cast<py::ssize_t>(cols)};
  if (im == nullptr) {
    py::array_t<double, py::array::f_style> out(shape);
    std::copy(re, re + rows * cols, out.mutable_data());
    return out;
  }
  py::array_t<std::complex<double>, py::array::f_style> out(shape);
  std::complex<double>* z = out.mutable_data();
  for (std::size_t k = 0; k < rows * cols; ++k) z[k] = {re[k], im[k]};
  return out;
}

}  // namespace dot11b::python

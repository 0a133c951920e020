// SPDX-License-Identifier: GPL-3.0-or-later
// The extension behind the Python package dot11b: calls of the library's routines by name, its globals,
// and the frame's waveform and markers as numpy arrays. The package's own functions (dot11b/__init__.py)
// are written over these.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

#include "values.h"

namespace py = pybind11;

namespace dot11b::python {

namespace {

// A routine's failure, with the library's message.
struct RoutineError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::vector<ArrayHandle> callRoutine(const std::string& name, const std::vector<ArrayHandle>& inputs, int nargout) {
  std::vector<dot11b_array*> in;
  for (const ArrayHandle& h : inputs) in.push_back(h.array);
  // A routine may give its first result even when none is asked for: one slot at least.
  std::vector<dot11b_array*> out(static_cast<std::size_t>(std::max(nargout, 1)), nullptr);
  int status = 0;
  std::string message;
  {
    // The routines hold no Python object: other Python threads run meanwhile.
    py::gil_scoped_release released;
    status = dot11b_call(name.c_str(), nargout, out.data(), static_cast<int>(in.size()), in.data());
    if (status != 0) message = dot11b_last_error();
  }
  std::vector<ArrayHandle> results;
  for (dot11b_array* a : out) results.emplace_back(a);
  if (status != 0) throw RoutineError(message);
  results.resize(static_cast<std::size_t>(nargout));
  return results;
}

py::list call(const std::string& name, const py::args& args, int nargout) {
  if (nargout < 0) throw py::value_error("nargout must be 0 or more");
  std::vector<ArrayHandle> inputs;
  for (const py::handle& a : args) inputs.push_back(toArray(a));
  py::list results;
  for (const ArrayHandle& r : callRoutine(name, inputs, nargout)) results.append(fromArray(r.array));
  return results;
}

// The frames of a parameters record and a sequence record: complex128 samples and (2, N) uint8 markers,
// as long as the frames the library made (the projected length can differ from it by a few samples).
py::tuple frames(const py::dict& parameters, const py::dict& sequence) {
  std::vector<ArrayHandle> inputs;
  inputs.push_back(toArray(parameters));
  inputs.push_back(toArray(sequence));
  const std::vector<ArrayHandle> made = callRoutine("Dot11b_Sequence", inputs, 2);
  const dot11b_array* wave = made[0].array;
  const dot11b_array* rows = made[1].array;
  const auto n = static_cast<py::ssize_t>(dot11b_rows(wave) * dot11b_cols(wave));
  if (n > 0 && (dot11b_rows(rows) != 2 || static_cast<py::ssize_t>(dot11b_cols(rows)) != n))
    throw RoutineError("Dot11b_Sequence gave markers of another size than its samples");
  py::array_t<std::complex<double>> samples(n);
  py::array_t<std::uint8_t> markers({py::ssize_t{2}, n});
  std::complex<double>* z = samples.mutable_data();
  std::uint8_t* marks = markers.mutable_data();
  {
    py::gil_scoped_release released;
    const double* re = dot11b_real(wave);
    const double* im = dot11b_imag(wave);  // none when every sample is real
    const double* m = dot11b_real(rows);   // column by column: row 1 and row 2 of each sample
    for (py::ssize_t k = 0; k < n; ++k) {
      z[k] = {re[k], im != nullptr ? im[k] : 0.0};
      marks[k] = static_cast<std::uint8_t>(m[2 * k]);
      marks[n + k] = static_cast<std::uint8_t>(m[2 * k + 1]);
    }
  }
  return py::make_tuple(std::move(samples), std::move(markers));
}

py::object getGlobal(const std::string& name) {
  const ArrayHandle value(dot11b_get_global(name.c_str()));
  if (value.array == nullptr) throw py::key_error("no global named '" + name + "'");
  return fromArray(value.array);
}

}  // namespace

}  // namespace dot11b::python

PYBIND11_MODULE(_dot11b, m) {
  using namespace dot11b::python;
  m.doc() = "The library's routines by name; see the package dot11b for the functions to use.";
  py::register_exception<RoutineError>(m, "RoutineError", PyExc_RuntimeError);
  if (!Dot11b_c_libInitialize()) throw std::runtime_error(std::string("cannot initialize the library: ") + dot11b_last_error());
  // The library ends with the interpreter, after every object of the package is gone.
  py::module_::import("atexit").attr("register")(py::cpp_function([] { Dot11b_c_libTerminate(); }));
  m.def("call", &call, py::arg("name"), py::arg("nargout") = 1,
        "call(name, *args, nargout=1) -> list: the routine's first nargout results.");
  m.def("frames", &frames, py::arg("parameters"), py::arg("sequence"),
        "frames(parameters, sequence) -> (samples, markers), as Dot11b_Sequence makes them.");
  m.def("get_global", &getGlobal, py::arg("name"), "get_global(name): a copy of one of the library's globals.");
  m.def("set_global", [](const std::string& name, const py::object& value) {
    const ArrayHandle array = toArray(value);
    if (dot11b_set_global(name.c_str(), array.array) != 0) throw py::key_error("no global named '" + name + "'");
  }, py::arg("name"), py::arg("value"), "set_global(name, value): sets one of the library's globals.");
}

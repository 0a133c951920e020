// SPDX-License-Identifier: GPL-3.0-or-later
// The module's blocks in Python: from gnuradio import dot11b.
#include <pybind11/pybind11.h>

namespace py = pybind11;

void bind_modulator(py::module& m);
void bind_frame_source(py::module& m);
void bind_receiver(py::module& m);
void bind_wireshark_connector(py::module& m);

PYBIND11_MODULE(dot11b_python, m)
{
    // The blocks derive from GNU Radio's, which its own module binds.
    py::module::import("gnuradio.gr");
    bind_modulator(m);
    bind_frame_source(m);
    bind_receiver(m);
    bind_wireshark_connector(m);
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <gnuradio/dot11b/modulator.h>

namespace py = pybind11;

void bind_modulator(py::module& m)
{
    using modulator = gr::dot11b::modulator;
    py::class_<modulator, gr::block, gr::basic_block, std::shared_ptr<modulator>>(
        m,
        "modulator",
        "802.11b frames of the PDUs on the message port 'pdus', one burst each (tx_sob, packet_len, tx_eob).\n"
        "A PDU's metadata overrides rate, preamble, modulation, filter, oversampling or any field of the\n"
        "parameters record for its frame.")
        .def(py::init(&modulator::make),
             py::arg("rate") = 11,
             py::arg("preamble") = "long",
             py::arg("modulation") = "CCK",
             py::arg("filter") = "gaussian",
             py::arg("oversampling") = 4,
             py::arg("mac_and_fcs") = true,
             py::arg("settings") = std::vector<std::string>{},
             py::arg("samp_rate") = 0);
}

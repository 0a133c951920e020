// SPDX-License-Identifier: GPL-3.0-or-later
#include <pybind11/pybind11.h>

#include <gnuradio/dot11b/receiver.h>

namespace py = pybind11;

void bind_receiver(py::module& m)
{
    using receiver = gr::dot11b::receiver;
    py::class_<receiver, gr::block, gr::basic_block, std::shared_ptr<receiver>>(
        m,
        "receiver",
        "The streaming 802.11b receiver: every frame as a PDU (the PSDU) on 'pdus' with the metadata rate,\n"
        "preamble, modulation, fcs_ok, cfo_hz, clock_ppm, evm, level_db and offset; the optional output\n"
        "passes the stream through with a dot11b_frame tag on each frame's first sample.")
        .def(py::init(&receiver::make), py::arg("samp_rate"))
        .def("frames", &receiver::frames, "Frames decoded so far.");
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <gnuradio/dot11b/frame_source.h>

namespace py = pybind11;

void bind_frame_source(py::module& m)
{
    using frame_source = gr::dot11b::frame_source;
    py::class_<frame_source, gr::sync_block, gr::block, gr::basic_block, std::shared_ptr<frame_source>>(
        m,
        "frame_source",
        "The generator's frame or frame sequence from a parameter file and FIELD=VALUE settings, played once\n"
        "(one burst, then the stream ends) or repeated with a gap of zeros.")
        .def(py::init(&frame_source::make),
             py::arg("params_file") = "",
             py::arg("settings") = std::vector<std::string>{},
             py::arg("frames") = 1,
             py::arg("frame_template") = "",
             py::arg("ssid") = "",
             py::arg("repeat") = true,
             py::arg("gap") = 0,
             py::arg("samp_rate") = 0)
        .def("waveform_length", &frame_source::waveform_length, "The samples of one play, without the gap.");
}

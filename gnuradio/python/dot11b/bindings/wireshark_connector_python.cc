// SPDX-License-Identifier: GPL-3.0-or-later
#include <pybind11/pybind11.h>

#include <gnuradio/dot11b/wireshark_connector.h>

namespace py = pybind11;

void bind_wireshark_connector(py::module& m)
{
    using connector = gr::dot11b::wireshark_connector;
    py::class_<connector, gr::block, gr::basic_block, std::shared_ptr<connector>>(
        m,
        "wireshark_connector",
        "The receiver's PDUs as pcapng with radiotap, to a file or a FIFO (wireshark -k -i FIFO), written\n"
        "frame by frame by the writer of dot11b verify --pcap.")
        .def(py::init(&connector::make), py::arg("path"), py::arg("samp_rate") = 0, py::arg("frequency") = 0)
        .def("records", &connector::records, "Records written so far.");
}

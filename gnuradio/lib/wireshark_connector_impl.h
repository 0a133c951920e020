// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gnuradio/dot11b/wireshark_connector.h>

#include <atomic>
#include <memory>

#include "files/pcapng_file.h"

namespace gr {
namespace dot11b {

class wireshark_connector_impl : public wireshark_connector
{
public:
    wireshark_connector_impl(const std::string& path, double samp_rate, double frequency);

    bool start() override;
    bool stop() override;
    uint64_t records() const override { return d_records; }

private:
    void handle_pdu(const pmt::pmt_t& pdu);

    const std::string d_path;
    const double d_samp_rate;
    const double d_frequency;
    uint64_t d_start_ns = 0; // the flowgraph's start
    std::unique_ptr<::dot11b::files::PcapngWriter> d_writer;
    bool d_reader_gone = false;
    std::atomic<uint64_t> d_records{ 0 };
};

} // namespace dot11b
} // namespace gr

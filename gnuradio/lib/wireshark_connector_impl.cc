// SPDX-License-Identifier: GPL-3.0-or-later
#include "wireshark_connector_impl.h"

#include "files/utc_time.h"

#include <gnuradio/io_signature.h>

#include <cmath>
#include <stdexcept>

namespace gr {
namespace dot11b {

namespace {

const pmt::pmt_t kPdus = pmt::mp("pdus");

pmt::pmt_t item(const pmt::pmt_t& meta, const char* key)
{
    return pmt::dict_ref(meta, pmt::mp(key), pmt::PMT_NIL);
}

std::string text(const pmt::pmt_t& value) { return pmt::is_symbol(value) ? pmt::symbol_to_string(value) : ""; }

} // namespace

wireshark_connector::sptr wireshark_connector::make(const std::string& path, double samp_rate, double frequency)
{
    return gnuradio::make_block_sptr<wireshark_connector_impl>(path, samp_rate, frequency);
}

wireshark_connector_impl::wireshark_connector_impl(const std::string& path, double samp_rate, double frequency)
    : gr::block("wireshark_connector", gr::io_signature::make(0, 0, 0), gr::io_signature::make(0, 0, 0)),
      d_path(path),
      d_samp_rate(samp_rate),
      d_frequency(frequency)
{
    if (path.empty())
        throw std::invalid_argument("dot11b wireshark_connector: a pcapng file or FIFO is needed");
    if (samp_rate < 0 || !std::isfinite(samp_rate) || frequency < 0 || !std::isfinite(frequency))
        throw std::invalid_argument("dot11b wireshark_connector: the sample rate and frequency are 0 or in Hz");
    message_port_register_in(kPdus);
    set_msg_handler(kPdus, [this](const pmt::pmt_t& pdu) { handle_pdu(pdu); });
}

bool wireshark_connector_impl::start()
{
    d_start_ns = ::dot11b::files::nowNs();
    return block::start();
}

bool wireshark_connector_impl::stop()
{
    // Closed with the flowgraph, so that the reader of a FIFO sees the capture end.
    d_writer.reset();
    return block::stop();
}

void wireshark_connector_impl::handle_pdu(const pmt::pmt_t& pdu)
{
    if (d_reader_gone || !pmt::is_pair(pdu) || !pmt::is_dict(pmt::car(pdu)) || !pmt::is_u8vector(pmt::cdr(pdu)))
        return;
    const pmt::pmt_t meta = pmt::car(pdu);
    // A frame without a usable PLCP header has no rate: verify --pcap leaves it out as well.
    if (!pmt::is_number(item(meta, "rate")))
        return;
    ::dot11b::files::PcapngFrame frame;
    frame.psdu = pmt::u8vector_elements(pmt::cdr(pdu));
    frame.rateMbps = pmt::to_double(item(meta, "rate"));
    frame.fcsOk = pmt::is_true(item(meta, "fcs_ok"));
    frame.shortPreamble = text(item(meta, "preamble")) == "short";
    frame.cck = text(item(meta, "modulation")) == "CCK";
    frame.pbcc = text(item(meta, "modulation")) == "PBCC";
    if (d_frequency > 0)
        frame.frequencyHz = d_frequency;
    if (pmt::is_number(item(meta, "level_db")) && std::isfinite(pmt::to_double(item(meta, "level_db"))))
        frame.levelDbfs = pmt::to_double(item(meta, "level_db"));
    const pmt::pmt_t offset = item(meta, "offset");
    frame.timestampNs = d_samp_rate > 0 && pmt::is_uint64(offset)
                            ? d_start_ns + static_cast<uint64_t>(std::llround(
                                               static_cast<double>(pmt::to_uint64(offset)) / d_samp_rate * 1e9))
                            : ::dot11b::files::nowNs();
    try {
        // A FIFO opens once its reader does: with the first frame, not before the flowgraph runs.
        if (!d_writer)
            d_writer = std::make_unique<::dot11b::files::PcapngWriter>(
                d_path, ::dot11b::files::PcapngInterface{ "GNU Radio dot11b receiver", "level: dB full scale" });
        d_writer->write(frame);
        ++d_records;
    } catch (const ::dot11b::files::PcapngReaderGone&) {
        d_reader_gone = true;
        d_logger->info(d_path + ": the reader has gone; the frames that follow are dropped");
    } catch (const std::exception& e) {
        d_logger->error(std::string("frame not written: ") + e.what());
    }
}

} // namespace dot11b
} // namespace gr

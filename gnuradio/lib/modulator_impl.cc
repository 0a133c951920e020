// SPDX-License-Identifier: GPL-3.0-or-later
#include "modulator_impl.h"

#include <gnuradio/io_signature.h>

#include <cmath>
#include <stdexcept>

#include "block_parameters.h"
#include "metadata_text.h"
#include "settings/parameter_rules.h"

namespace gr {
namespace dot11b {

namespace {

const pmt::pmt_t kPdus = pmt::mp("pdus");

} // namespace

modulator::sptr modulator::make(double rate,
                                const std::string& preamble,
                                const std::string& modulation,
                                const std::string& filter,
                                double oversampling,
                                bool mac_and_fcs,
                                const std::vector<std::string>& settings,
                                double samp_rate)
{
    return gnuradio::make_block_sptr<modulator_impl>(
        rate, preamble, modulation, filter, oversampling, mac_and_fcs, settings, samp_rate);
}

modulator_impl::modulator_impl(double rate,
                               const std::string& preamble,
                               const std::string& modulation,
                               const std::string& filter,
                               double oversampling,
                               bool mac_and_fcs,
                               const std::vector<std::string>& settings,
                               double samp_rate)
    : gr::block("modulator",
                gr::io_signature::make(0, 0, 0),
                gr::io_signature::make(1, 1, sizeof(gr_complex))),
      d_samp_rate(samp_rate)
{
    if (samp_rate < 0 || !std::isfinite(samp_rate))
        throw std::invalid_argument("dot11b modulator: samp_rate must be 0 (the frame's own) or a rate in Hz");
    d_parameters = parameters_record("", {}, d_logger);
    try {
        apply_named_setting(d_parameters, "rate", number_text(rate));
        apply_named_setting(d_parameters, "preamble", preamble);
        apply_named_setting(d_parameters, "modulation", modulation);
        apply_named_setting(d_parameters, "filter", filter);
        apply_named_setting(d_parameters, "oversampling", number_text(oversampling));
        for (const char* flag : { "MACheader.Active", "MACfcs.Active" })
            ::dot11b::settings::applySetting(d_parameters, flag, mac_and_fcs ? "1" : "0");
        for (const std::string& assignment : settings)
            ::dot11b::settings::applyAssignment(d_parameters, assignment);
        ::dot11b::settings::validateParameters(d_parameters);
    } catch (const std::exception& e) {
        throw std::invalid_argument(std::string("dot11b modulator: ") + e.what());
    }
    message_port_register_in(kPdus);
    set_msg_handler(kPdus, [this](const pmt::pmt_t& pdu) { handle_pdu(pdu); });
}

void modulator_impl::handle_pdu(const pmt::pmt_t& pdu)
{
    if (!pmt::is_pair(pdu) || !pmt::is_dict(pmt::car(pdu)) || !pmt::is_u8vector(pmt::cdr(pdu))) {
        d_logger->error("dropped a message that is not a PDU of octets (metadata dictionary, u8 vector)");
        return;
    }
    const std::vector<uint8_t> octets = pmt::u8vector_elements(pmt::cdr(pdu));
    ::dot11b::rt::Value parameters = d_parameters;
    try {
        // The rate first, whatever the order of the metadata: 1 Mbit/s brings the long preamble, as in the
        // format panel, and a "preamble" of the same PDU then has the last word.
        const pmt::pmt_t meta = pmt::car(pdu);
        const pmt::pmt_t rate = pmt::dict_ref(meta, pmt::mp("rate"), pmt::PMT_NIL);
        if (const auto text = metadata_text(rate))
            apply_named_setting(parameters, "rate", *text);
        const pmt::pmt_t items = pmt::dict_items(meta);
        for (size_t i = 0; i < pmt::length(items); ++i) {
            const pmt::pmt_t item = pmt::nth(i, items);
            const auto text = metadata_text(pmt::cdr(item));
            if (pmt::is_symbol(pmt::car(item)) && pmt::symbol_to_string(pmt::car(item)) != "rate" && text)
                apply_named_setting(parameters, pmt::symbol_to_string(pmt::car(item)), *text);
        }
        const ::dot11b::phy::Frame frame = pdu_frame(parameters, octets);
        const double frame_rate = 11e6 * parameters.field("OverSampling").scalarValue();
        d_bursts.push(stream_samples(frame.waveform, frame_rate, d_samp_rate));
    } catch (const std::exception& e) {
        // Built here: GNU Radio 3.10's logger takes no format arguments from C++20 code.
        d_logger->error("dropped a PDU of " + std::to_string(octets.size()) + " octets: " + e.what());
    }
}

int modulator_impl::general_work(int noutput_items,
                                 gr_vector_int&,
                                 gr_vector_const_void_star&,
                                 gr_vector_void_star& output_items)
{
    return d_bursts.pop(static_cast<gr_complex*>(output_items[0]),
                        noutput_items,
                        [this](int k, const pmt::pmt_t& key, const pmt::pmt_t& value) {
                            add_item_tag(0, nitems_written(0) + static_cast<uint64_t>(k), key, value);
                        });
}

} // namespace dot11b
} // namespace gr

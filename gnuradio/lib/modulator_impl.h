// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gnuradio/dot11b/modulator.h>

#include "burst_queue.h"
#include "runtime/value.h"

namespace gr {
namespace dot11b {

class modulator_impl : public modulator
{
public:
    modulator_impl(double rate,
                   const std::string& preamble,
                   const std::string& modulation,
                   const std::string& filter,
                   double oversampling,
                   bool mac_and_fcs,
                   const std::vector<std::string>& settings,
                   double samp_rate);

    int general_work(int noutput_items,
                     gr_vector_int& ninput_items,
                     gr_vector_const_void_star& input_items,
                     gr_vector_void_star& output_items) override;

private:
    void handle_pdu(const pmt::pmt_t& pdu);

    ::dot11b::rt::Value d_parameters; // the block's settings, checked
    const double d_samp_rate;
    burst_queue d_bursts;
};

} // namespace dot11b
} // namespace gr

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gnuradio/dot11b/frame_source.h>

#include "burst_queue.h"

namespace gr {
namespace dot11b {

class frame_source_impl : public frame_source
{
public:
    frame_source_impl(const std::string& params_file,
                      const std::vector<std::string>& settings,
                      int frames,
                      const std::string& frame_template,
                      const std::string& ssid,
                      bool repeat,
                      double gap,
                      double samp_rate);

    int work(int noutput_items,
             gr_vector_const_void_star& input_items,
             gr_vector_void_star& output_items) override;

    size_t waveform_length() const override { return d_waveform.size(); }

private:
    std::vector<gr_complex> d_waveform;
    const bool d_repeat;
    uint64_t d_period = 0; // a play and its gap [samples]
    uint64_t d_at = 0;     // where the next output sample lies in the period
    burst_queue d_once;    // the one burst of a waveform played once
};

} // namespace dot11b
} // namespace gr

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gnuradio/dot11b/api.h>
#include <gnuradio/sync_block.h>

#include <string>
#include <vector>

namespace gr {
namespace dot11b {

/*!
 * \brief The generator's whole frame or frame sequence, played once or again and again, as a signal
 * generator plays its waveform memory.
 * \ingroup dot11b
 *
 * \details
 * The frame is what dot11b generate makes of the same parameters: a parameter file (or the start values),
 * then "FIELD=VALUE" settings, then a frame template. Played once, it goes out as one burst ("tx_sob",
 * "packet_len" and "tx_eob" tags) and the stream ends; repeated, it follows itself after \p gap seconds of
 * zeros, without end.
 */
class DOT11B_API frame_source : virtual public gr::sync_block
{
public:
    typedef std::shared_ptr<frame_source> sptr;

    /*!
     * \param params_file a parameter file saved by the application or dot11b params; "" for the start values
     * \param settings "FIELD=VALUE" settings of the parameters record
     * \param frames frames one after another (1 to 65536), the sequence number counting up
     * \param frame_template "" or beacon, probe-response, data, null, ack, cts, rts
     * \param ssid the beacon's or probe response's SSID
     * \param repeat play the waveform again and again, else once
     * \param gap seconds of zeros between plays
     * \param samp_rate the stream's rate [Hz]; 0: the frame's own, 11 MHz times OverSampling
     */
    static sptr make(const std::string& params_file = "",
                     const std::vector<std::string>& settings = {},
                     int frames = 1,
                     const std::string& frame_template = "",
                     const std::string& ssid = "",
                     bool repeat = true,
                     double gap = 0,
                     double samp_rate = 0);

    //! The samples of one play, without the gap.
    virtual size_t waveform_length() const = 0;
};

} // namespace dot11b
} // namespace gr

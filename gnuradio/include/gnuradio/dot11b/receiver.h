// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gnuradio/block.h>
#include <gnuradio/dot11b/api.h>

namespace gr {
namespace dot11b {

/*!
 * \brief The streaming 802.11b receiver of dot11b verify: every frame of the stream as a PDU.
 * \ingroup dot11b
 *
 * \details
 * Decodes the stream at any sample rate (taken to two samples a chip inside) in a thread of its own. Each
 * frame goes out on the message port "pdus" as soon as it is decoded: the PSDU's octets, with the metadata
 * "rate" (Mbit/s; absent when the header was unusable), "preamble" ("long" or "short"), "modulation"
 * ("DBPSK", "DQPSK", "CCK" or "PBCC"), "fcs_ok", "cfo_hz", "clock_ppm", "evm" (RMS, percent), "level_db"
 * (the frame's mean power, dB full scale) and "offset" (the frame's first sample in the stream).
 *
 * The optional output passes the stream through, with a "dot11b_frame" tag on each frame's first sample
 * (its value the frame's metadata); it runs behind the input by what the decoding still needs.
 */
class DOT11B_API receiver : virtual public gr::block
{
public:
    typedef std::shared_ptr<receiver> sptr;

    /*!
     * \param samp_rate the stream's sample rate [Hz]
     */
    static sptr make(double samp_rate);

    //! Frames decoded so far.
    virtual uint64_t frames() const = 0;
};

} // namespace dot11b
} // namespace gr

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gnuradio/block.h>
#include <gnuradio/dot11b/api.h>

#include <string>
#include <vector>

namespace gr {
namespace dot11b {

/*!
 * \brief IEEE 802.11b frames of the PDUs that arrive, one frame each, bit for bit as dot11b generate makes
 * them.
 * \ingroup dot11b
 *
 * \details
 * Each PDU on the message port "pdus" becomes one frame (PLCP preamble and header, the PSDU at its rate,
 * ramps, filter, idle interval). With \p mac_and_fcs the PDU is the frame body and the block puts the MAC
 * header and the FCS around it; without, the PDU is the PSDU. A PDU's metadata overrides the block's
 * settings for that frame: "rate", "preamble", "modulation", "filter", "oversampling" as the parameters
 * below take them, and any field of the parameters record by its name ("idleSamples",
 * "MACheader.Contents.Address1.Contents", ...). Other keys are left alone; a PDU that gives a bad value is
 * dropped with an error in the log.
 *
 * Every frame is a burst: its first sample carries the tags "tx_sob" and "packet_len" (the frame's length),
 * its last "tx_eob", as the radio sinks take them. Between frames the stream waits.
 */
class DOT11B_API modulator : virtual public gr::block
{
public:
    typedef std::shared_ptr<modulator> sptr;

    /*!
     * \param rate data rate: 1, 2, 5.5 or 11 Mbit/s
     * \param preamble "long" or "short" (not at 1 Mbit/s)
     * \param modulation "CCK" or "PBCC", at 5.5 and 11 Mbit/s
     * \param filter "rectangular", "gaussian" or "root-raised-cosine"
     * \param oversampling samples a chip: a whole number from 2 to 9
     * \param mac_and_fcs the PDU is the frame body, and the block adds the MAC header and the FCS
     * \param settings further "FIELD=VALUE" settings of the parameters record, applied after the above
     * \param samp_rate the stream's rate [Hz]; 0: the frame's own, 11 MHz times \p oversampling
     */
    static sptr make(double rate = 11,
                     const std::string& preamble = "long",
                     const std::string& modulation = "CCK",
                     const std::string& filter = "gaussian",
                     double oversampling = 4,
                     bool mac_and_fcs = true,
                     const std::vector<std::string>& settings = {},
                     double samp_rate = 0);
};

} // namespace dot11b
} // namespace gr

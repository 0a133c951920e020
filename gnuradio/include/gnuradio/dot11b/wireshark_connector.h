// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gnuradio/block.h>
#include <gnuradio/dot11b/api.h>

#include <string>

namespace gr {
namespace dot11b {

/*!
 * \brief The receiver's frames into Wireshark: PDUs in, pcapng with radiotap out, to a file or a FIFO.
 * \ingroup dot11b
 *
 * \details
 * Each PDU on "pdus" with a rate in its metadata (as the receiver sends them) becomes one record, written
 * and flushed at once by the writer of dot11b verify --pcap: the PSDU with its FCS verdict, the rate,
 * the preamble, the channel of \p frequency, the level, and the time of the frame's start (the
 * flowgraph's start plus "offset" over \p samp_rate, else the time the PDU arrived). A FIFO is opened
 * with the first frame, once Wireshark reads it (wireshark -k -i FIFO); when Wireshark quits, the frames
 * that follow are dropped.
 */
class DOT11B_API wireshark_connector : virtual public gr::block
{
public:
    typedef std::shared_ptr<wireshark_connector> sptr;

    /*!
     * \param path the pcapng file or FIFO
     * \param samp_rate the receiver's sample rate [Hz], for the frames' times; 0: the arrival times
     * \param frequency the carrier [Hz], for the channel; 0: not known
     */
    static sptr make(const std::string& path, double samp_rate = 0, double frequency = 0);

    //! Records written so far.
    virtual uint64_t records() const = 0;
};

} // namespace dot11b
} // namespace gr

// SPDX-License-Identifier: GPL-3.0-or-later
// Frames waiting to go out as bursts, and the tags that make a radio sink send each as one: "tx_sob" and
// "packet_len" on a burst's first sample, "tx_eob" on its last.
#pragma once

#include <gnuradio/gr_complex.h>
#include <pmt/pmt.h>

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace gr {
namespace dot11b {

class burst_queue
{
public:
    void push(std::vector<gr_complex> burst);
    // Where a tag goes: the sample of `out` it marks, its key and its value.
    using tagger = std::function<void(int, const pmt::pmt_t&, const pmt::pmt_t&)>;
    // Copies up to n samples of the waiting bursts to `out`, with their tags; returns how many.
    int pop(gr_complex* out, int n, const tagger& tag);
    bool empty() const;

private:
    mutable std::mutex d_mutex;
    std::deque<std::vector<gr_complex>> d_bursts;
    size_t d_sent = 0; // of the first burst
};

} // namespace dot11b
} // namespace gr

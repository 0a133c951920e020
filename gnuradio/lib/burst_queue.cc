// SPDX-License-Identifier: GPL-3.0-or-later
#include "burst_queue.h"

#include <algorithm>

namespace gr {
namespace dot11b {

namespace {

const pmt::pmt_t kStartOfBurst = pmt::mp("tx_sob");
const pmt::pmt_t kEndOfBurst = pmt::mp("tx_eob");
const pmt::pmt_t kPacketLength = pmt::mp("packet_len");

} // namespace

void burst_queue::push(std::vector<gr_complex> burst)
{
    if (burst.empty())
        return;
    std::lock_guard<std::mutex> lock(d_mutex);
    d_bursts.push_back(std::move(burst));
}

bool burst_queue::empty() const
{
    std::lock_guard<std::mutex> lock(d_mutex);
    return d_bursts.empty();
}

int burst_queue::pop(gr_complex* out, int n, const tagger& tag)
{
    std::lock_guard<std::mutex> lock(d_mutex);
    int produced = 0;
    while (produced < n && !d_bursts.empty()) {
        const std::vector<gr_complex>& burst = d_bursts.front();
        if (d_sent == 0) {
            tag(produced, kStartOfBurst, pmt::PMT_T);
            tag(produced, kPacketLength, pmt::from_long(static_cast<long>(burst.size())));
        }
        const size_t take = std::min(burst.size() - d_sent, static_cast<size_t>(n - produced));
        std::copy_n(burst.begin() + static_cast<std::ptrdiff_t>(d_sent), take, out + produced);
        produced += static_cast<int>(take);
        d_sent += take;
        if (d_sent == burst.size()) {
            tag(produced - 1, kEndOfBurst, pmt::PMT_T);
            d_bursts.pop_front();
            d_sent = 0;
        }
    }
    return produced;
}

} // namespace dot11b
} // namespace gr

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gnuradio/dot11b/receiver.h>

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "rx/receiver.h"
#include "sample_feed.h"

namespace gr {
namespace dot11b {

class receiver_impl : public receiver
{
public:
    explicit receiver_impl(double samp_rate);
    ~receiver_impl() override;

    bool start() override;
    bool stop() override;
    void forecast(int noutput_items, gr_vector_int& ninput_items_required) override;
    int general_work(int noutput_items,
                     gr_vector_int& ninput_items,
                     gr_vector_const_void_star& input_items,
                     gr_vector_void_star& output_items) override;

    uint64_t frames() const override { return d_frames; }

private:
    struct frame_tag {
        uint64_t offset;
        pmt::pmt_t meta;
    };

    void decode();
    void publish(const ::dot11b::rx::ReceivedFrame& frame);
    // The pass-through output: the samples before the decoding's progress, with their frames' tags.
    int pass_through(int noutput_items, gr_complex* out);
    // The decoding told that the stream has ended, and waited for.
    void finish_decoding();
    bool input_ended() const;

    const double d_samp_rate;
    std::unique_ptr<sample_feed> d_feed;
    std::thread d_decoder;
    std::atomic<uint64_t> d_progress{ 0 }; // no frame still to be found starts before this sample
    std::atomic<uint64_t> d_frames{ 0 };
    std::mutex d_tags_mutex;
    std::deque<frame_tag> d_tags; // of frames whose first sample has not been passed through yet
};

} // namespace dot11b
} // namespace gr

// SPDX-License-Identifier: GPL-3.0-or-later
#include "receiver_impl.h"

#include <gnuradio/block_detail.h>
#include <gnuradio/buffer_reader.h>
#include <gnuradio/io_signature.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "rx/verify/mac_fields.h"

namespace gr {
namespace dot11b {

namespace {

// Samples the scheduler's thread may run ahead of the decoding before it waits for it.
constexpr size_t kMostUnread = size_t{ 1 } << 22;
// Samples the receiver asks for at a time.
constexpr size_t kReadSamples = size_t{ 1 } << 16;

const pmt::pmt_t kPdus = pmt::mp("pdus");
const pmt::pmt_t kFrameTag = pmt::mp("dot11b_frame");

} // namespace

receiver::sptr receiver::make(double samp_rate)
{
    return gnuradio::make_block_sptr<receiver_impl>(samp_rate);
}

receiver_impl::receiver_impl(double samp_rate)
    : gr::block("receiver",
                gr::io_signature::make(1, 1, sizeof(gr_complex)),
                gr::io_signature::make(0, 1, sizeof(gr_complex))),
      d_samp_rate(samp_rate)
{
    if (!(samp_rate > 0) || !std::isfinite(samp_rate))
        throw std::invalid_argument("dot11b receiver: the sample rate must be a number of Hz above 0");
    message_port_register_out(kPdus);
    set_relative_rate(1.0);
}

receiver_impl::~receiver_impl() { finish_decoding(); }

bool receiver_impl::start()
{
    finish_decoding();
    d_feed = std::make_unique<sample_feed>(kMostUnread);
    d_progress = 0;
    d_decoder = std::thread([this] { decode(); });
    return block::start();
}

bool receiver_impl::stop()
{
    // The stream has ended (or the flowgraph stops): the frames still in the decoding go out now.
    finish_decoding();
    return block::stop();
}

void receiver_impl::finish_decoding()
{
    if (d_feed)
        d_feed->end();
    if (d_decoder.joinable())
        d_decoder.join();
}

void receiver_impl::decode()
{
    try {
        ::dot11b::rx::receiveStream(
            *d_feed,
            d_samp_rate,
            [this](::dot11b::rx::ReceivedFrame&& frame) { publish(frame); },
            kReadSamples,
            [this](double k) {
                if (k <= 0)
                    return;
                const auto sample = static_cast<uint64_t>(k);
                if (sample > d_progress)
                    d_progress = sample;
            });
    } catch (const std::exception& e) {
        d_logger->error(std::string("decoding stopped: ") + e.what());
    }
    // Nothing more is read: the scheduler's thread must not wait for the decoding.
    d_progress = std::numeric_limits<uint64_t>::max();
    d_feed->abandon();
}

void receiver_impl::publish(const ::dot11b::rx::ReceivedFrame& frame)
{
    // The level over the samples verify takes it over: from the SYNC to the last symbol.
    const double power = d_feed->mean_power(static_cast<uint64_t>(std::max(0.0, frame.startSample)),
                                            static_cast<uint64_t>(std::max(0.0, frame.endSample)));
    const auto first = static_cast<uint64_t>(std::llround(frame.startSample));
    pmt::pmt_t meta = pmt::make_dict();
    if (const auto rate = frame.header.rateMbps())
        meta = pmt::dict_add(meta, pmt::mp("rate"), pmt::from_double(*rate));
    meta = pmt::dict_add(meta, pmt::mp("preamble"), pmt::mp(frame.shortPreamble ? "short" : "long"));
    meta = pmt::dict_add(meta, pmt::mp("modulation"), pmt::mp(frame.modulation));
    meta = pmt::dict_add(meta, pmt::mp("fcs_ok"), pmt::from_bool(frame.fcsOk));
    meta = pmt::dict_add(meta, pmt::mp("cfo_hz"), pmt::from_double(frame.cfoHz));
    meta = pmt::dict_add(meta, pmt::mp("clock_ppm"), pmt::from_double(frame.clockPpm));
    meta = pmt::dict_add(meta, pmt::mp("evm"), pmt::from_double(frame.evmRmsPercent));
    meta = pmt::dict_add(meta,
                         pmt::mp("level_db"),
                         pmt::from_double(power > 0 ? 10 * std::log10(power)
                                                    : -std::numeric_limits<double>::infinity()));
    meta = pmt::dict_add(meta, pmt::mp("offset"), pmt::from_uint64(first));
    const std::vector<uint8_t> octets = ::dot11b::rx::octetsOf(frame.psdu);
    {
        std::lock_guard<std::mutex> lock(d_tags_mutex);
        d_tags.push_back({ first, meta });
    }
    ++d_frames;
    message_port_pub(kPdus, pmt::cons(meta, pmt::init_u8vector(octets.size(), octets)));
}

bool receiver_impl::input_ended() const { return detail()->input(0)->done(); }

// GNU Radio lets a block go once its input has ended and holds no sample, without calling it again; the
// frames still in the decoding would then go out only when the flowgraph stops, after the blocks that
// take them have gone. So the block keeps the last sample it is handed until the input has ended: it is
// then called once more, and finishes the decoding while the flowgraph runs (and with the pass-through
// output, called without input until that has passed everything on).
void receiver_impl::forecast(int, gr_vector_int& ninput_items_required)
{
    ninput_items_required[0] = input_ended() ? 0 : 2;
}

int receiver_impl::general_work(int noutput_items,
                                gr_vector_int& ninput_items,
                                gr_vector_const_void_star& input_items,
                                gr_vector_void_star& output_items)
{
    const bool ended = input_ended();
    const int n = ended ? ninput_items[0] : ninput_items[0] - 1;
    if (n > 0) {
        if (!d_feed->push(static_cast<const gr_complex*>(input_items[0]), static_cast<size_t>(n)))
            return WORK_DONE;
        consume(0, n);
    } else if (!ended && output_items.empty()) {
        // Without an output the block is called with its one kept sample until more comes (the forecast
        // holds it back otherwise): not at once again.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (ended)
        finish_decoding(); // the frames still in the decoding go out now, before the block is done
    const bool finished = ended && !d_decoder.joinable();
    if (output_items.empty()) {
        // No pass-through output: no tags wait for it.
        std::lock_guard<std::mutex> lock(d_tags_mutex);
        d_tags.clear();
        d_feed->release_before(d_progress);
        return finished ? WORK_DONE : 0;
    }
    const int produced = pass_through(noutput_items, static_cast<gr_complex*>(output_items[0]));
    d_feed->release_before(std::min<uint64_t>(d_progress, nitems_written(0)));
    return produced == 0 && finished ? WORK_DONE : produced;
}

int receiver_impl::pass_through(int noutput_items, gr_complex* out)
{
    const uint64_t written = nitems_written(0);
    const uint64_t ready = std::min<uint64_t>(d_progress, d_feed->pushed());
    if (ready <= written)
        return 0;
    const auto n = static_cast<int>(std::min<uint64_t>(noutput_items, ready - written));
    d_feed->copy(written, out, static_cast<size_t>(n));
    std::lock_guard<std::mutex> lock(d_tags_mutex);
    while (!d_tags.empty() && d_tags.front().offset < written + static_cast<uint64_t>(n)) {
        add_item_tag(0, std::max(d_tags.front().offset, written), kFrameTag, d_tags.front().meta, alias_pmt());
        d_tags.pop_front();
    }
    return n;
}

} // namespace dot11b
} // namespace gr

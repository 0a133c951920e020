// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame_source_impl.h"

#include <gnuradio/io_signature.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "block_parameters.h"
#include "settings/template_parameters.h"
#include "testbench/frame_sequence.h"

namespace gr {
namespace dot11b {

namespace {

// The frame or sequence the settings describe, as dot11b generate makes it.
std::vector<gr_complex> waveform_of(::dot11b::rt::Value parameters,
                                    int frames,
                                    const std::string& frame_template,
                                    const std::string& ssid,
                                    double samp_rate)
{
    namespace testbench = ::dot11b::testbench;
    if (frames < 1 || static_cast<size_t>(frames) > testbench::kMaxSequenceFrames)
        throw std::invalid_argument("frames must be 1 to " + std::to_string(testbench::kMaxSequenceFrames));
    testbench::SequenceSettings sequence;
    sequence.frames = static_cast<size_t>(frames);
    if (!frame_template.empty()) {
        const auto kind = ::dot11b::mac::templateKindNamed(frame_template);
        if (!kind)
            throw std::invalid_argument("the template must be " +
                                        std::string(::dot11b::mac::templateNames()) + ", not '" +
                                        frame_template + "'");
        ::dot11b::mac::TemplateSettings t;
        t.kind = *kind;
        t.ssid = ssid;
        t.channel = 0; // the record's Channel
        sequence.frameTemplate = t;
        ::dot11b::settings::applyTemplate(parameters, *sequence.frameTemplate);
    } else if (!ssid.empty()) {
        throw std::invalid_argument("an SSID needs a template (beacon or probe-response)");
    }
    testbench::sequenceLength(parameters, sequence.frames);
    const ::dot11b::phy::Frame frame = testbench::calculateSequence(parameters, sequence);
    return stream_samples(frame.waveform, 11e6 * parameters.field("OverSampling").scalarValue(), samp_rate);
}

} // namespace

frame_source::sptr frame_source::make(const std::string& params_file,
                                      const std::vector<std::string>& settings,
                                      int frames,
                                      const std::string& frame_template,
                                      const std::string& ssid,
                                      bool repeat,
                                      double gap,
                                      double samp_rate)
{
    return gnuradio::make_block_sptr<frame_source_impl>(
        params_file, settings, frames, frame_template, ssid, repeat, gap, samp_rate);
}

frame_source_impl::frame_source_impl(const std::string& params_file,
                                     const std::vector<std::string>& settings,
                                     int frames,
                                     const std::string& frame_template,
                                     const std::string& ssid,
                                     bool repeat,
                                     double gap,
                                     double samp_rate)
    : gr::sync_block("frame_source",
                     gr::io_signature::make(0, 0, 0),
                     gr::io_signature::make(1, 1, sizeof(gr_complex))),
      d_repeat(repeat)
{
    if (samp_rate < 0 || !std::isfinite(samp_rate))
        throw std::invalid_argument("dot11b frame_source: samp_rate must be 0 (the frame's own) or a rate in Hz");
    if (gap < 0 || !std::isfinite(gap))
        throw std::invalid_argument("dot11b frame_source: the gap must be 0 s or more");
    try {
        ::dot11b::rt::Value parameters = parameters_record(params_file, settings, d_logger);
        const double rate =
            samp_rate > 0 ? samp_rate : 11e6 * parameters.field("OverSampling").scalarValue();
        d_waveform = waveform_of(std::move(parameters), frames, frame_template, ssid, samp_rate);
        d_period = d_waveform.size() + static_cast<uint64_t>(std::llround(gap * rate));
    } catch (const std::exception& e) {
        throw std::invalid_argument(std::string("dot11b frame_source: ") + e.what());
    }
    if (!repeat)
        d_once.push(d_waveform);
}

int frame_source_impl::work(int noutput_items, gr_vector_const_void_star&, gr_vector_void_star& output_items)
{
    auto* out = static_cast<gr_complex*>(output_items[0]);
    if (!d_repeat) {
        // Played once: one burst, then the stream ends.
        const int produced =
            d_once.pop(out, noutput_items, [this](int k, const pmt::pmt_t& key, const pmt::pmt_t& value) {
                add_item_tag(0, nitems_written(0) + static_cast<uint64_t>(k), key, value);
            });
        return produced > 0 ? produced : WORK_DONE;
    }
    for (int produced = 0; produced < noutput_items;) {
        const auto n = static_cast<int>(std::min<uint64_t>(noutput_items - produced, d_period - d_at));
        if (d_at < d_waveform.size()) {
            const auto k = static_cast<int>(std::min<uint64_t>(n, d_waveform.size() - d_at));
            std::copy_n(d_waveform.begin() + static_cast<std::ptrdiff_t>(d_at), k, out + produced);
            std::fill_n(out + produced + k, n - k, gr_complex(0, 0));
        } else {
            std::fill_n(out + produced, n, gr_complex(0, 0));
        }
        produced += n;
        d_at = (d_at + static_cast<uint64_t>(n)) % d_period;
    }
    return noutput_items;
}

} // namespace dot11b
} // namespace gr

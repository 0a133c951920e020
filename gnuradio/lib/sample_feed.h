// SPDX-License-Identifier: GPL-3.0-or-later
// The receiver block's input on its way to the decoding thread. The scheduler's thread pushes the samples
// it is handed; the receiver reads them as its sample source, waiting for more when it has read all; and
// what has been read stays held until the block lets it go, for the frames' levels and the pass-through
// output.
#pragma once

#include <gnuradio/gr_complex.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "rx/stream/sample_source.h"

namespace gr {
namespace dot11b {

class sample_feed : public ::dot11b::rx::SampleSource
{
public:
    // `most_unread`: push() waits while more samples than this wait to be read, so that a stream faster
    // than the decoding is held back rather than piled up.
    explicit sample_feed(size_t most_unread);

    // Appends n samples. False, with nothing appended, once the reader has gone.
    bool push(const gr_complex* in, size_t n);
    // The stream has ended: read() gives what is left, then 0.
    void end();
    // The reader has gone: push() refuses from now on.
    void abandon();

    size_t read(::dot11b::Complex* out, size_t max) override;
    size_t readSamples(::dot11b::rx::Sample* out, size_t max) override;

    // Lets the samples before k go once they have been read.
    void release_before(uint64_t k);
    // Samples pushed so far.
    uint64_t pushed() const;
    // Copies the held samples first .. first + n - 1 (they must be held).
    void copy(uint64_t first, gr_complex* out, size_t n) const;
    // The mean of |x|^2 over the held samples first .. last - 1; 0 when there are none.
    double mean_power(uint64_t first, uint64_t last) const;

private:
    void drop_released(); // with the lock held
    template <typename S>
    size_t take(S* out, size_t max);

    const size_t d_most_unread;
    mutable std::mutex d_mutex;
    std::condition_variable d_changed;
    std::deque<gr_complex> d_samples; // d_first .. d_first + size - 1
    uint64_t d_first = 0;
    uint64_t d_read = 0;     // the next sample the reader gets
    uint64_t d_released = 0; // samples before this may go once read
    bool d_ended = false;
    bool d_abandoned = false;
};

} // namespace dot11b
} // namespace gr

// SPDX-License-Identifier: GPL-3.0-or-later
#include "sample_feed.h"

#include <algorithm>
#include <stdexcept>

namespace gr {
namespace dot11b {

sample_feed::sample_feed(size_t most_unread) : d_most_unread(most_unread) {}

bool sample_feed::push(const gr_complex* in, size_t n)
{
    std::unique_lock<std::mutex> lock(d_mutex);
    d_changed.wait(lock, [&] {
        return d_abandoned || d_first + d_samples.size() - d_read <= d_most_unread;
    });
    if (d_abandoned)
        return false;
    d_samples.insert(d_samples.end(), in, in + n);
    d_changed.notify_all();
    return true;
}

void sample_feed::end()
{
    std::lock_guard<std::mutex> lock(d_mutex);
    d_ended = true;
    d_changed.notify_all();
}

void sample_feed::abandon()
{
    std::lock_guard<std::mutex> lock(d_mutex);
    d_abandoned = true;
    d_changed.notify_all();
}

template <typename S>
size_t sample_feed::take(S* out, size_t max)
{
    std::unique_lock<std::mutex> lock(d_mutex);
    d_changed.wait(lock, [&] { return d_ended || d_read < d_first + d_samples.size(); });
    const size_t n = std::min<uint64_t>(max, d_first + d_samples.size() - d_read);
    const auto from = d_samples.begin() + static_cast<std::ptrdiff_t>(d_read - d_first);
    std::transform(from, from + static_cast<std::ptrdiff_t>(n), out, [](const gr_complex& x) {
        return S(x.real(), x.imag());
    });
    d_read += n;
    drop_released();
    d_changed.notify_all();
    return n;
}

size_t sample_feed::read(::dot11b::Complex* out, size_t max) { return take(out, max); }

// The stream's samples are the receiver's own type: they go across as they are.
size_t sample_feed::readSamples(::dot11b::rx::Sample* out, size_t max) { return take(out, max); }

void sample_feed::release_before(uint64_t k)
{
    std::lock_guard<std::mutex> lock(d_mutex);
    d_released = std::max(d_released, k);
    drop_released();
}

uint64_t sample_feed::pushed() const
{
    std::lock_guard<std::mutex> lock(d_mutex);
    return d_first + d_samples.size();
}

void sample_feed::copy(uint64_t first, gr_complex* out, size_t n) const
{
    std::lock_guard<std::mutex> lock(d_mutex);
    if (first < d_first || first + n > d_first + d_samples.size())
        throw std::logic_error("sample_feed: samples asked for that are not held");
    const auto from = d_samples.begin() + static_cast<std::ptrdiff_t>(first - d_first);
    std::copy(from, from + static_cast<std::ptrdiff_t>(n), out);
}

double sample_feed::mean_power(uint64_t first, uint64_t last) const
{
    std::lock_guard<std::mutex> lock(d_mutex);
    first = std::max(first, d_first);
    last = std::min<uint64_t>(last, d_first + d_samples.size());
    if (last <= first)
        return 0;
    double sum = 0;
    for (uint64_t k = first; k < last; ++k)
        sum += std::norm(d_samples[k - d_first]);
    return sum / static_cast<double>(last - first);
}

void sample_feed::drop_released()
{
    const uint64_t before = std::min(d_read, d_released);
    if (before > d_first) {
        d_samples.erase(d_samples.begin(),
                        d_samples.begin() + static_cast<std::ptrdiff_t>(before - d_first));
        d_first = before;
    }
}

} // namespace dot11b
} // namespace gr

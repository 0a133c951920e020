// SPDX-License-Identifier: GPL-3.0-or-later
// A packet-error-rate run: sequences of data frames at each rate, through white Gaussian noise at each SNR
// (and any other impairments), decoded by the built-in receiver. A frame counts as received when a frame
// with a valid FCS and exactly its PSDU comes out; a frame lost, cut short or damaged is an error.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "channel/impairments.h"
#include "runtime/value.h"
#include "testbench/signal_composer.h"

namespace dot11b::testbench {

struct PerSettings {
  std::vector<double> ratesMbps;  // 1, 2, 5.5, 11
  std::vector<double> snrDb;
  std::size_t frames = 100;        // a point
  std::size_t psduOctets = 1024;   // MAC header (24), payload and FCS (4)
  channel::Impairments impairments;  // besides the noise; its seed starts every point's draws
  // Other signals summed with the frames (composer.h), at the composite's rate; the SNR is the wanted
  // frames' alone.
  std::vector<Interferer> interferers;
};

struct PerPoint {
  double rateMbps = 0, snrDb = 0;
  std::size_t sent = 0, received = 0;
  double per() const { return sent == 0 ? 0 : 1 - static_cast<double>(received) / static_cast<double>(sent); }
};

// Called one call at a time from the thread that did the work: as a rate's frames go through every SNR in
// batches, with how many of the rate's frames have (`framesDone` of `frames`), and as each point is done
// (a rate's points all at once, with its last batch).
struct PerProgress {
  std::function<void(double rateMbps, std::size_t framesDone, std::size_t frames)> frames;
  std::function<void(const PerPoint&)> point;
};

// Every point of rates x SNRs, in that order (rate by rate), measured on the machine's cores. The frames
// come from `parameters` with the rate set, the data template, the FCS and a PN9 payload carried on from
// frame to frame. Throws ParameterError for a bad setting before anything is measured.
std::vector<PerPoint> measurePer(const rt::Value& parameters, const PerSettings& settings, const PerProgress& progress = {});

// The record of data frames at a rate with `psduOctets` of PSDU (MAC header, payload, FCS): the data
// template, the FCS and a PN9 payload. Throws ParameterError for a bad setting.
rt::Value dataFrameParameters(const rt::Value& parameters, double rateMbps, std::size_t psduOctets);

// The adjacent channel rejection of the built-in receiver: the frames of each rate (settings.ratesMbps,
// settings.psduOctets) at `snrDb` with `interferer` at each level of `levelsDb`. Each point's snrDb holds
// minus its level, so that the points rise in "SNR" as the interferer falls and snrAtPer finds minus the
// level at which the PER crosses a target.
std::vector<PerPoint> measureRejection(const rt::Value& parameters, const PerSettings& settings, double snrDb,
                                       const Interferer& interferer, const std::vector<double>& levelsDb,
                                       const PerProgress& progress = {});

// The SNR at which the PER of ascending-SNR points first falls to `target`, interpolated linearly in SNR
// and logarithmically in PER; nothing when it never does or already does at the first point.
std::optional<double> snrAtPer(const std::vector<PerPoint>& points, double target);

}  // namespace dot11b::testbench

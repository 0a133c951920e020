// SPDX-License-Identifier: GPL-3.0-or-later
// The frames the benchmarks time: the start-value frame and the largest frame the panel allows.
#pragma once

#include "mac/mac_header.h"
#include "mac/payload.h"
#include "phy/frame.h"

namespace bench {

struct BenchFrame {
  dot11b::Bits psdu;
  dot11b::phy::FrameSettings settings;
};

// 11 Mbit/s CCK, long preamble, 1024 zero octets, 4 samples per chip, 2 us linear ramps, 100 us idle,
// Gaussian filter BT 0.5 over 6 chips.
inline BenchFrame startValueFrame() {
  dot11b::mac::PayloadSettings payload;
  payload.dataSourceType = 1;
  payload.dataLength = 1024;
  BenchFrame f{dot11b::mac::generatePayload(payload), {}};
  f.settings.dataRate = 11;
  f.settings.oversamplingRate = 4;
  f.settings.rampType = 1;
  f.settings.rampLength = 88;
  f.settings.idleSamples = 4400;
  f.settings.filterType = 1;
  f.settings.filterFactor = 0.5;
  f.settings.filterTaps = 6 * 4;
  return f;
}

// 2312 PN9 octets behind the 30-octet MAC header and before the FCS at 1 Mbit/s, long preamble, 9 samples
// per chip, root-raised-cosine filter over 1000 chips, 1000 us ramps and 1000 us idle interval.
inline BenchFrame largestFrame() {
  dot11b::mac::PayloadSettings payload;
  payload.dataSourceType = 5;
  payload.dataLength = 2312;
  payload.macHeaderActive = true;
  payload.macHeaderBits = dot11b::mac::defaultMacHeader().bitStream;
  payload.fcsActive = true;
  BenchFrame f{dot11b::mac::generatePayload(payload), {}};
  f.settings.dataRate = 1;
  f.settings.oversamplingRate = 9;
  f.settings.rampType = 1;
  f.settings.rampLength = 99000;
  f.settings.idleSamples = 99000;
  f.settings.filterType = 2;
  f.settings.filterFactor = 0.5;
  f.settings.filterTaps = 1000 * 9;
  return f;
}

}  // namespace bench

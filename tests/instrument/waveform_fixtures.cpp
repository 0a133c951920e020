// SPDX-License-Identifier: GPL-3.0-or-later
#include "waveform_fixtures.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace instrument_test {

TestWaveform pseudoRandomWaveform(std::size_t n, const std::string& title) {
  TestWaveform w;
  w.title = title;
  uint32_t state = 12345;
  const auto next = [&state]() {
    state = state * 1664525u + 1013904223u;  // a linear congruential sequence, reproducible everywhere
    return static_cast<double>(state >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
  };
  for (std::size_t k = 0; k < n; ++k) {
    w.i.push_back(0.7 * next());
    w.q.push_back(0.7 * next());
    w.marker1.push_back(k < n / 10 ? 1 : 0);
    w.marker2.push_back(k % 4 == 0 ? 1 : 0);
  }
  return w;
}

std::string expectedSampleBytes(const TestWaveform& w) {
  double largest = 0;
  for (std::size_t k = 0; k < w.i.size(); ++k) largest = std::max({largest, std::abs(w.i[k]), std::abs(w.q[k])});
  std::string bytes;
  for (std::size_t k = 0; k < w.i.size(); ++k) {
    for (const double v : {w.i[k], w.q[k]}) {
      const auto code = static_cast<uint16_t>(static_cast<int16_t>(std::round(v / largest * 32766.0 * w.scale)));
      bytes += static_cast<char>(code >> 8);
      bytes += static_cast<char>(code & 0xff);
    }
  }
  return bytes;
}

std::string expectedMarkerBytes(const TestWaveform& w) {
  std::string bytes;
  for (std::size_t k = 0; k < w.i.size(); ++k)
    bytes += static_cast<char>((w.marker1[k] ? 1 : 0) | (w.marker2[k] ? 2 : 0));
  return bytes;
}

std::string hex(const std::string& bytes) {
  std::string text;
  for (const char c : bytes) {
    char pair[4];
    std::snprintf(pair, sizeof pair, "%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
    if (!text.empty()) text += ' ';
    text += pair;
  }
  return text;
}

std::vector<std::string> expectedPlaybackCommandsQ6200T() {
  return {" :source:rad:arb:state off",
          " :source:rad:arb:wav \"arbi:dot11b\" ",
          " :source:freq:fix 2412000000Hz",
          " :source:power:level:immediate:amplitude -30dbm",
          " :source:rad:arb:clock:srate 44000000Hz",
          " :source:dm:bbfilter 40MHz",
          " :source:rad:ARB:rscaling 95",
          ":source:DM:IQAT:AUTO off",
          ":source:DM:IQAT 0",
          " :pow:alc:state on",
          " :source:rad:arb:marker:rfblank on",
          " :source:rad:arb:marker:polarity Pos",
          " :source:rad:arb:clock:ref int",
          " :source:rad:arb:state on",
          " :output:state on"};
}

std::vector<std::string> expectedPlaybackCommandsOlderPlatform() {
  return {" :source:rad:arb:state off",
          " :source:rad:arb:wav \"arbi:dot11b\" ",
          " :source:freq:fix 2412000000Hz",
          " :source:power:level:immediate:amplitude -30dbm",
          " :source:rad:arb:clock:srate 44000000Hz",
          " :source:rad:arb:rfilter 250.0khz",
          " :source:rad:arb:marker:rfblank on",
          " :source:rad:arb:marker:polarity Pos",
          " :source:rad:arb:clock:ref int",
          " :source:rad:arb:state on",
          " :output:state on"};
}

}  // namespace instrument_test

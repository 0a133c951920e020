// SPDX-License-Identifier: GPL-3.0-or-later
// Waveforms for the link tests and the bytes the instrument must receive for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace instrument_test {

// A waveform with its markers and download settings.
struct TestWaveform {
  std::vector<double> i, q;
  std::vector<uint8_t> marker1, marker2;
  std::string title = "dot11b";
  std::string normalization = "norm";
  double scale = 1.0;
};

// n samples of a deterministic pseudo-random waveform with markers (row 1 on the first tenth,
// row 2 on every fourth sample).
TestWaveform pseudoRandomWaveform(std::size_t n, const std::string& title = "dot11b");

// The bytes of the ARBI block for the waveform: its largest component scaled to 32766, rounded
// half away from zero, big-endian signed 16-bit, I and Q interleaved.
std::string expectedSampleBytes(const TestWaveform& w);
// One byte per sample: bit 0 marker row 1, bit 1 marker row 2.
std::string expectedMarkerBytes(const TestWaveform& w);

// Bytes written as hexadecimal pairs, "7F FE ...", for readable comparisons.
std::string hex(const std::string& bytes);

// The playback set-up commands for the start values of the signal generator settings and the
// waveform "dot11b": 15 for the Q6200T generation, 11 for the older platform.
std::vector<std::string> expectedPlaybackCommandsQ6200T();
std::vector<std::string> expectedPlaybackCommandsOlderPlatform();

}  // namespace instrument_test

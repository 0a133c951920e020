// SPDX-License-Identifier: GPL-3.0-or-later
// Waveform samples and markers in the byte layout of the instrument's waveform memory. The 16-bit
// waveform file (files/iq16_file.h) holds its samples in the same layout and encodes them with the
// word writer below.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

namespace dot11b::instrio {

// Largest magnitude a 16-bit component is given (one step below the code limit).
inline constexpr double kFullScale = 32766.0;
inline constexpr double kLowestScale = 0.00001;

// Appends one I or Q value as a big-endian two's-complement 16-bit word, rounded half away from zero.
// The caller keeps the rounded value within -32768 .. 32767. Bytes: std::string or a vector of bytes.
template <class Bytes>
void appendInt16Be(double value, Bytes& out) {
  const auto code = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::round(value)));
  out.push_back(static_cast<typename Bytes::value_type>(code >> 8));
  out.push_back(static_cast<typename Bytes::value_type>(code & 0xff));
}

// Appends n samples to `out` as big-endian signed 16-bit values, I and Q interleaved
// (I1 Q1 I2 Q2 ...): 4 bytes per sample. The largest I or Q magnitude becomes scale x 32766 and
// every value is rounded half away from zero; an all-zero waveform stays zero.
// scale: fraction of full scale, limited to 0.00001..1. i, q: n values each, all finite
// (otherwise BusError INSTRIO_BAD_ARGUMENT naming the sample).
void appendSamplesInt16Be(const double* i, const double* q, std::size_t n, double scale, std::string& out);

// Appends one byte per sample to `out`: bit 0 = marker row 1, bit 1 = marker row 2 (a non-zero
// marker value sets its bit). A null row counts as all clear.
void appendMarkerBytes(const uint8_t* marker1, const uint8_t* marker2, std::size_t n, std::string& out);

}  // namespace dot11b::instrio

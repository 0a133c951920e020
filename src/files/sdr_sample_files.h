// SPDX-License-Identifier: GPL-3.0-or-later
// The headerless sample files of SDR tools: interleaved I and Q, I first, little-endian.
//   cs8   signed 8-bit, the format of 8-bit radios' transfer tools (2 bytes a sample)
//   cs16  signed 16-bit, as radio tools and GNU Radio read shorts (4 bytes a sample)
//   cf32  32-bit float, GNU Radio's complex (8 bytes a sample)
// The same layouts are SigMF's ci8, ci16_le and cf32_le.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "phy/sample_formats.h"
#include "phy/types.h"

namespace dot11b::files {

using phy::SampleFormat;

struct SampleEncoding {
  SampleFormat format = SampleFormat::CF32;
  double backoffDb = 1;  // the integer formats' peak below full scale [dB]
};

struct EncodedSamples {
  std::string bytes;
  std::size_t clippedSamples = 0;  // samples with I or Q limited to full scale (integer formats)
};

// The file's bytes. The integer formats scale the peak (the largest |I| or |Q|) to backoffDb below full
// scale (127 and 32767: symmetric, so that -128 and -32768 are never written), rounded to the nearest
// integer (halves away from zero), and throw std::invalid_argument for a sample that is not finite; cf32
// keeps the samples' values.
EncodedSamples encodeSamples(std::span<const Complex> samples, const SampleEncoding& encoding);

}  // namespace dot11b::files

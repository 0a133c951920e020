// SPDX-License-Identifier: GPL-3.0-or-later
#include "waveform_output.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "files/iq16_file.h"
#include "files/safe_save.h"
#include "files/sigmf_file.h"
#include "files/waveform_files.h"
#include "testbench/frame_description.h"

namespace dot11b::cli {

namespace {

constexpr double kChannelBandwidth = 22e6; // occupied bandwidth of an IEEE 802.11b DSSS channel [Hz]

bool endsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

// Raw little-endian complex double pairs (numpy complex128): on a little-endian machine the samples'
// own memory, written as it is; elsewhere `converted` receives the swapped bytes.
std::string_view cf64Bytes(const ComplexRow& samples, std::string& converted) {
  if constexpr (std::endian::native == std::endian::little) {
    return {reinterpret_cast<const char*>(samples.data()), sizeof(samples[0]) * samples.size()};
  }
  converted.reserve(16 * samples.size());
  for (const auto& s : samples) {
    for (double part : {s.real(), s.imag()}) {
      std::uint64_t bits;
      std::memcpy(&bits, &part, sizeof bits);
      for (int shift = 0; shift < 64; shift += 8) converted.push_back(static_cast<char>((bits >> shift) & 0xFF));
    }
  }
  return converted;
}

// The frame's extent: where marker 2 (the frame including its ramps) is set; the whole waveform when it
// is nowhere set.
std::pair<std::size_t, std::size_t> frameExtent(const phy::Frame& frame) {
  const auto& m = frame.marker2;
  const auto first = std::find(m.begin(), m.end(), 1);
  if (first == m.end()) return {0, frame.waveform.size()};
  const auto last = std::find(m.rbegin(), m.rend(), 1);
  const auto start = static_cast<std::size_t>(first - m.begin());
  return {start, static_cast<std::size_t>(m.rend() - last) - start};
}

}  // namespace

files::SigmfDescription sigmfDescription(const phy::Frame& frame, const rt::Value& parameters, double sampleRate) {
  files::SigmfDescription d;
  d.sampleRate = sampleRate;
  d.centerFrequency = testbench::channelFrequency(parameters.field("Channel").scalarValue());
  d.bandwidth = kChannelBandwidth;
  std::tie(d.frameStart, d.frameLength) = frameExtent(frame);
  const bool framed = parameters.field("generationMode").scalarValue() == 1;
  d.label = testbench::rateAndModulation(parameters) + ", " + (framed ? testbench::preambleName(parameters) : "unframed");
  d.description = "IEEE 802.11b-1999 DSSS frame";
  return d;
}

namespace {

// Writes the bytes to standard output; throws when they do not all get there.
void writeToStandardOutput(std::string_view bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
    throw std::runtime_error(std::string("writing to standard output failed: ") + std::strerror(errno));
  }
}

}  // namespace

std::optional<OutputFormat> parseOutputFormat(std::string_view name) {
  if (name == "cf64") return OutputFormat::Cf64;
  if (name == "cs8") return OutputFormat::Cs8;
  if (name == "cs16") return OutputFormat::Cs16;
  if (name == "cf32") return OutputFormat::Cf32;
  if (name == "iq16") return OutputFormat::Iq16;
  if (name == "mat") return OutputFormat::Mat;
  if (name == "ascii") return OutputFormat::Ascii;
  if (name == "complex-mat") return OutputFormat::ComplexMat;
  if (name == "sigmf") return OutputFormat::Sigmf;
  return std::nullopt;
}

std::optional<OutputFormat> formatFromExtension(std::string_view path) {
  if (endsWith(path, ".cf64")) return OutputFormat::Cf64;
  if (endsWith(path, ".cs8")) return OutputFormat::Cs8;
  if (endsWith(path, ".cs16")) return OutputFormat::Cs16;
  if (endsWith(path, ".cf32")) return OutputFormat::Cf32;
  if (endsWith(path, ".iq16")) return OutputFormat::Iq16;
  if (endsWith(path, ".mat")) return OutputFormat::Mat;
  if (endsWith(path, ".sigmf") || endsWith(path, ".sigmf-data") || endsWith(path, ".sigmf-meta"))
    return OutputFormat::Sigmf;
  return std::nullopt;
}

bool isRawSamples(OutputFormat format) {
  switch (format) {
    case OutputFormat::Cf64:
    case OutputFormat::Iq16:
    case OutputFormat::Cs8:
    case OutputFormat::Cs16:
    case OutputFormat::Cf32: return true;
    case OutputFormat::Mat:
    case OutputFormat::Ascii:
    case OutputFormat::ComplexMat:
    case OutputFormat::Sigmf: return false;
  }
  return false;
}

std::size_t writeWaveform(files::ReplacementSet& files, const std::string& path, OutputFormat format,
                          const files::SampleEncoding& encoding, const phy::Frame& frame, double sampleRate,
                          const rt::Value& parameters) {
  return writeWaveform(files, path, format, encoding, frame, sampleRate,
                       sigmfDescription(frame, parameters, sampleRate));
}

std::size_t writeWaveform(files::ReplacementSet& files, const std::string& path, OutputFormat format,
                          const files::SampleEncoding& encoding, const phy::Frame& frame, double sampleRate,
                          const files::SigmfDescription& sigmf, const rt::MatVariables& matVariables) {
  if (path == kStandardOutput && !isRawSamples(format))
    throw std::invalid_argument("standard output takes the cf64, iq16, cs8, cs16 or cf32 format only");
  const auto put = [&path, &files](std::string_view bytes) {
    if (path == kStandardOutput) return writeToStandardOutput(bytes);
    files::saveBytes(files.add(path), bytes);
  };
  const auto putSamples = [&](files::SampleFormat sampleFormat) {
    const files::EncodedSamples encoded = files::encodeSamples(frame.waveform, {sampleFormat, encoding.backoffDb});
    put(encoded.bytes);
    return encoded.clippedSamples;
  };
  switch (format) {
    case OutputFormat::Cf64: {
      std::string converted;
      put(cf64Bytes(frame.waveform, converted));
      return 0;
    }
    case OutputFormat::Iq16: {
      const std::vector<std::uint8_t> bytes = files::encodeIq16(frame.waveform, 1);
      put(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
      return 0;
    }
    case OutputFormat::Cs8: return putSamples(files::SampleFormat::CS8);
    case OutputFormat::Cs16: return putSamples(files::SampleFormat::CS16);
    case OutputFormat::Cf32: return putSamples(files::SampleFormat::CF32);
    case OutputFormat::Mat:
      files::saveWaveData(files.add(path), frame.waveform, sampleRate, matVariables);
      return 0;
    case OutputFormat::Ascii:
      files::saveIqColumns(files.add(path), frame.waveform);
      return 0;
    case OutputFormat::ComplexMat:
      files::saveComplexColumn(files.add(path), frame.waveform);
      return 0;
    case OutputFormat::Sigmf:
      return files::saveSigmf(files, files::sigmfBaseName(path), frame.waveform, sigmf, encoding);
  }
  return 0;
}

void writeMarkers(files::ReplacementSet& files, const std::string& path, const phy::Frame& frame) {
  std::string bytes(frame.marker1.begin(), frame.marker1.end());
  bytes.append(frame.marker2.begin(), frame.marker2.end());
  files::saveBytes(files.add(path), bytes);
}

}  // namespace dot11b::cli

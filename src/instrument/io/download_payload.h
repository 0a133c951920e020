// SPDX-License-Identifier: GPL-3.0-or-later
// The two commands of a waveform download, built before the connection is opened:
//   :MMEMory:DATA "ARBI:<title>",<block of I/Q samples>
//   :MMEMory:DATA "MKRI:<title>",<block of marker bytes>
// Each block is an IEEE 488.2 definite-length arbitrary block: '#', the number of length digits,
// the length in bytes, then the bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace dot11b::instrio {

struct DownloadRequest {
  const double* i = nullptr;  // I of each sample, unscaled
  const double* q = nullptr;  // Q of each sample, unscaled
  std::size_t sampleCount = 0;
  const uint8_t* marker1 = nullptr;  // marker row 1, one byte per sample, or null
  const uint8_t* marker2 = nullptr;  // marker row 2, or null
  std::string title;                 // waveform name in the instrument's memory
  std::string normalization = "norm";
  double scale = 1.0;  // fraction of full scale
};

struct DownloadPayload {
  std::string waveformCommand;  // with its block and terminator
  std::string markerCommand;    // with its block and terminator
  std::size_t sampleBytes = 0;  // payload bytes of the waveform block
  std::size_t markerBytes = 0;  // payload bytes of the marker block
};

// Longest block payload: a definite-length block header holds at most 9 length digits.
inline constexpr std::size_t kMaxBlockBytes = 999'999'999;

// Appends the header of a definite-length block of `length` bytes, e.g. "#3160" for 160 bytes.
void appendBlockHeader(std::size_t length, std::string& out);

// Checks the request (INSTRIO_BAD_ARGUMENT: missing data, no samples, too many samples, a bad
// title, a normalization other than "norm", non-finite values) and builds both commands.
DownloadPayload buildDownloadPayload(const DownloadRequest& request);

}  // namespace dot11b::instrio

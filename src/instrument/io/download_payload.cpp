// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/download_payload.h"

#include <algorithm>
#include <cctype>

#include "instrument/io/bus_error.h"
#include "instrument/io/sample_encoding.h"
#include "instrument/io/scpi_text.h"

namespace dot11b::instrio {
namespace {

constexpr std::size_t kBytesPerSample = 4;  // I and Q, 16 bits each

[[noreturn]] void refuse(const std::string& why) {
  throw BusError(INSTRIO_BAD_ARGUMENT, "instrIO: download: " + why + "; nothing was sent");
}

bool isNorm(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text == "norm";
}

std::string commandHead(const char* memory, const std::string& title) {
  return std::string(":MMEMory:DATA \"") + memory + ":" + title + "\",";
}

}  // namespace

void appendBlockHeader(std::size_t length, std::string& out) {
  const std::string digits = std::to_string(length);
  out += '#';
  out += static_cast<char>('0' + digits.size());
  out += digits;
}

DownloadPayload buildDownloadPayload(const DownloadRequest& request) {
  if (request.i == nullptr || request.q == nullptr) refuse("the I or Q samples are missing");
  if (request.sampleCount == 0) refuse("the waveform has no samples");
  if (request.sampleCount > kMaxBlockBytes / kBytesPerSample) {
    refuse("the waveform has " + std::to_string(request.sampleCount) + " samples, more than the " +
           std::to_string(kMaxBlockBytes / kBytesPerSample) + " one block can carry");
  }
  if (!isNorm(request.normalization))
    refuse("normalization \"" + printable(request.normalization) + "\" is not \"norm\"");
  checkWaveformTitle(request.title);

  DownloadPayload payload;
  payload.sampleBytes = request.sampleCount * kBytesPerSample;
  payload.markerBytes = request.sampleCount;

  std::string& waveform = payload.waveformCommand;
  waveform = commandHead("ARBI", request.title);
  appendBlockHeader(payload.sampleBytes, waveform);
  appendSamplesInt16Be(request.i, request.q, request.sampleCount, request.scale, waveform);
  waveform += '\n';

  std::string& markers = payload.markerCommand;
  markers = commandHead("MKRI", request.title);
  appendBlockHeader(payload.markerBytes, markers);
  appendMarkerBytes(request.marker1, request.marker2, request.sampleCount, markers);
  markers += '\n';
  return payload;
}

}  // namespace dot11b::instrio

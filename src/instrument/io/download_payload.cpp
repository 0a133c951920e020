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

bool is_norm(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text == "norm";
}

std::string command_head(const char* memory, const std::string& title) {
  return std::string(":MMEMory:DATA \"") + memory + ":" + title + "\",";
}

}  // namespace

void append_block_header(std::size_t length, std::string& out) {
  const std::string digits = std::to_string(length);
  out += '#';
  out += static_cast<char>('0' + digits.size());
  out += digits;
}

DownloadPayload build_download_payload(const DownloadRequest& request) {
  if (request.i == nullptr || request.q == nullptr) refuse("the I or Q samples are missing");
  if (request.sample_count == 0) refuse("the waveform has no samples");
  if (request.sample_count > kMaxBlockBytes / kBytesPerSample) {
    refuse("the waveform has " + std::to_string(request.sample_count) + " samples, more than the " +
           std::to_string(kMaxBlockBytes / kBytesPerSample) + " one block can carry");
  }
  if (!is_norm(request.normalization)) refuse("normalization \"" + printable(request.normalization) + "\" is not \"norm\"");
  check_waveform_title(request.title);

  DownloadPayload payload;
  payload.sample_bytes = request.sample_count * kBytesPerSample;
  payload.marker_bytes = request.sample_count;

  std::string& waveform = payload.waveform_command;
  waveform = command_head("ARBI", request.title);
  append_block_header(payload.sample_bytes, waveform);
  append_samples_int16_be(request.i, request.q, request.sample_count, request.scale, waveform);
  waveform += '\n';

  std::string& markers = payload.marker_command;
  markers = command_head("MKRI", request.title);
  append_block_header(payload.marker_bytes, markers);
  append_marker_bytes(request.marker1, request.marker2, request.sample_count, markers);
  markers += '\n';
  return payload;
}

}  // namespace dot11b::instrio

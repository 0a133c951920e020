#include "mac/payload.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "mac/mac_header.h"
#include "mac/pn_generator.h"

namespace dot11b::mac {

namespace {

constexpr double maxDataLength = 2312;  // longest MSDU [octets], IEEE 802.11-1999 7.1.2

// Alternating bits, the first one `first`.
Bits alternatingBits(std::size_t count, uint8_t first) {
  Bits bits(count);
  for (std::size_t i = 0; i < count; ++i) bits[i] = (i % 2 == 0) ? first : static_cast<uint8_t>(1 - first);
  return bits;
}

Bits pnBits(int order, std::size_t count) {
  // The generator delivers at least one bit; an empty payload stays empty.
  if (count == 0) return {};
  PnOptions options;
  options.order = RealRow{static_cast<double>(order)};
  options.length = RealRow{static_cast<double>(count)};
  return pnGenerator(options);
}

// The octets of the file, repeated cyclically to `octets` octets, each octet least significant bit first.
Bits userFileBits(const std::string& fileName, std::size_t octets) {
  // Only a regular file: opening a pipe or a device could wait for data forever.
  std::error_code error;
  if (!std::filesystem::is_regular_file(fileName, error)) {
    throw std::runtime_error("Dot11_GeneratePayload: the payload file \"" + fileName +
                             (std::filesystem::exists(fileName, error) ? "\" is not a regular file" : "\" does not exist"));
  }
  std::ifstream file(fileName, std::ios::binary);
  if (!file) throw std::runtime_error("Dot11_GeneratePayload: cannot open the payload file \"" + fileName + "\"");
  // More than `octets` octets are never used, so a long file is not read in full.
  std::vector<char> data(octets);
  file.read(data.data(), static_cast<std::streamsize>(octets));
  if (file.bad())
    throw std::runtime_error("Dot11_GeneratePayload: cannot read the payload file \"" + fileName + "\"");
  data.resize(static_cast<std::size_t>(file.gcount()));
  if (data.empty() && octets > 0) {
    throw std::runtime_error("Dot11_GeneratePayload: the payload file \"" + fileName + "\" is empty");
  }
  Bits bits(8 * octets);
  for (std::size_t i = 0; i < octets; ++i) {
    const auto octet = static_cast<unsigned char>(data[i % data.size()]);
    for (std::size_t b = 0; b < 8; ++b) bits[8 * i + b] = (octet >> b) & 1U;
  }
  return bits;
}

Bits payloadData(const PayloadSettings& settings, std::size_t octets) {
  const std::size_t count = 8 * octets;
  switch (static_cast<PayloadSource>(settings.dataSourceType)) {
    case PayloadSource::Zeros: return Bits(count, 0);
    case PayloadSource::Ones: return Bits(count, 1);
    case PayloadSource::Alternating01: return alternatingBits(count, 0);
    case PayloadSource::Alternating10: return alternatingBits(count, 1);
    case PayloadSource::Pn9: return pnBits(9, count);
    case PayloadSource::Pn15: return pnBits(15, count);
    case PayloadSource::UserFile: return userFileBits(settings.dataSourceName, octets);
  }
  throw std::invalid_argument("Dot11_GeneratePayload: data source " + std::to_string(settings.dataSourceType) +
                              " is not 1..7");
}

std::size_t payloadOctets(double dataLength) {
  if (!(dataLength >= 0 && dataLength <= maxDataLength) || dataLength != std::floor(dataLength)) {
    throw std::invalid_argument("Dot11_GeneratePayload: data length " + std::to_string(dataLength) +
                                " is not a whole number of octets in 0..2312");
  }
  return static_cast<std::size_t>(dataLength);
}

}  // namespace

Bits generatePayload(const PayloadSettings& settings) {
  const std::size_t octets = payloadOctets(settings.dataLength);
  Bits packet;
  if (settings.macHeaderActive) {
    if (std::any_of(settings.macHeaderBits.begin(), settings.macHeaderBits.end(),
                    [](uint8_t b) { return b > 1; })) {
      throw std::invalid_argument(
          "Dot11_GeneratePayload: the MAC header bit stream holds a value other than 0 and 1");
    }
    packet = settings.macHeaderBits;
  }
  const Bits data = payloadData(settings, octets);
  packet.insert(packet.end(), data.begin(), data.end());
  if (settings.fcsActive) {
    // The FCS covers the MAC header and the payload (IEEE 802.11-1999 7.1.3.6).
    const Bits fcs = calcMacFcs(packet);
    packet.insert(packet.end(), fcs.begin(), fcs.end());
  }
  return packet;
}

}  // namespace dot11b::mac

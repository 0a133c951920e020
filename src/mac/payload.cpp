// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "phy/crc.h"
#include "runtime/shortest_text.h"

namespace dot11b::mac {

namespace {

constexpr double maxDataLength = 2312;  // longest MSDU [octets], IEEE 802.11-1999 7.1.2

// Alternating bits, the first one `first`.
Bits alternatingBits(std::size_t count, uint8_t first) {
  Bits bits(count);
  for (std::size_t i = 0; i < count; ++i) bits[i] = (i % 2 == 0) ? first : static_cast<uint8_t>(1 - first);
  return bits;
}

// `count` bits of the PN sequence from bit `first` on. A maximal-length sequence repeats every 2^order - 1
// bits, so no more than one period is generated ahead of the first bit.
Bits pnBits(int order, std::size_t count, std::uint64_t first) {
  // The generator delivers at least one bit; an empty payload stays empty.
  if (count == 0) return {};
  const std::uint64_t period = (std::uint64_t{1} << order) - 1;
  const auto skip = static_cast<std::size_t>(first % period);
  PnOptions options;
  options.order = RealRow{static_cast<double>(order)};
  options.length = RealRow{static_cast<double>(skip + count)};
  Bits bits = pnGenerator(options);
  bits.erase(bits.begin(), bits.begin() + static_cast<std::ptrdiff_t>(skip));
  return bits;
}

std::string payloadFileError(const std::string& fileName, const char* what) {
  return "Dot11_GeneratePayload: the payload file \"" + fileName + "\" " + what;
}

// The octets of the file from octet `first` on (counted cyclically), repeated to `octets` octets, each octet
// least significant bit first.
Bits userFileBits(const std::string& fileName, std::size_t octets, std::uint64_t first) {
  // Only a regular file: opening a pipe or a device could wait for data forever.
  std::error_code error;
  if (!std::filesystem::is_regular_file(fileName, error))
    throw std::runtime_error(payloadFileError(fileName, std::filesystem::exists(fileName, error) ? "is not a regular file" : "does not exist"));
  const std::uintmax_t size = std::filesystem::file_size(fileName, error);
  if (error) throw std::runtime_error(payloadFileError(fileName, "cannot be read"));
  if (size == 0 && octets > 0) throw std::runtime_error(payloadFileError(fileName, "is empty"));
  std::ifstream file(fileName, std::ios::binary);
  if (!file) throw std::runtime_error("Dot11_GeneratePayload: cannot open the payload file \"" + fileName + "\"");
  // More octets than a frame takes are never read, so a long file is not read in full: the window from
  // `first`, or the whole file when it is shorter than a frame.
  std::vector<char> data(static_cast<std::size_t>(std::min<std::uintmax_t>(size, octets)));
  const std::uint64_t start = size > 0 ? first % size : 0;
  if (data.size() < size) {
    const auto head = static_cast<std::size_t>(std::min<std::uintmax_t>(size - start, data.size()));
    file.seekg(static_cast<std::streamoff>(start));
    file.read(data.data(), static_cast<std::streamsize>(head));
    file.seekg(0);
    file.read(data.data() + head, static_cast<std::streamsize>(data.size() - head));
  } else {
    file.read(data.data(), static_cast<std::streamsize>(data.size()));
  }
  if (!file) throw std::runtime_error("Dot11_GeneratePayload: cannot read the payload file \"" + fileName + "\"");
  const std::size_t offset = data.size() < size ? 0 : static_cast<std::size_t>(start);
  Bits bits(8 * octets);
  for (std::size_t i = 0; i < octets; ++i) {
    const auto octet = static_cast<unsigned char>(data[(offset + i) % data.size()]);
    for (std::size_t b = 0; b < 8; ++b) bits[8 * i + b] = (octet >> b) & 1U;
  }
  return bits;
}

Bits sourceBits(const PayloadSettings& settings, std::size_t octets, std::uint64_t firstOctet) {
  const std::size_t count = 8 * octets;
  switch (static_cast<PayloadSource>(settings.dataSourceType)) {
    case PayloadSource::Zeros: return Bits(count, 0);
    case PayloadSource::Ones: return Bits(count, 1);
    case PayloadSource::Alternating01: return alternatingBits(count, 0);
    case PayloadSource::Alternating10: return alternatingBits(count, 1);
    case PayloadSource::Pn9: return pnBits(9, count, 8 * firstOctet);
    case PayloadSource::Pn15: return pnBits(15, count, 8 * firstOctet);
    case PayloadSource::UserFile: return userFileBits(settings.dataSourceName, octets, firstOctet);
  }
  throw std::invalid_argument("Dot11_GeneratePayload: data source " + std::to_string(settings.dataSourceType) +
                              " is not 1..7");
}

std::size_t payloadOctets(double dataLength) {
  if (!(dataLength >= 0 && dataLength <= maxDataLength) || dataLength != std::floor(dataLength)) {
    throw std::invalid_argument("Dot11_GeneratePayload: data length " + rt::shortestText(dataLength) +
                                " is not a whole number of octets in 0..2312");
  }
  return static_cast<std::size_t>(dataLength);
}

}  // namespace

Bits payloadData(const PayloadSettings& settings, std::uint64_t firstOctet) {
  return sourceBits(settings, payloadOctets(settings.dataLength), firstOctet);
}

Bits calcMacFcs(const Bits& data) { return phy::crc32(data); }

Bits assemblePsdu(const Bits& header, const Bits& data, bool withFcs) {
  if (std::any_of(header.begin(), header.end(), [](uint8_t b) { return b > 1; }))
    throw std::invalid_argument("Dot11_GeneratePayload: the MAC header bit stream holds a value other than 0 and 1");
  Bits packet = header;
  packet.insert(packet.end(), data.begin(), data.end());
  if (withFcs) {
    // The FCS covers the MAC header and the payload (IEEE 802.11-1999 7.1.3.6).
    const Bits fcs = calcMacFcs(packet);
    packet.insert(packet.end(), fcs.begin(), fcs.end());
  }
  return packet;
}

Bits generatePayload(const PayloadSettings& settings) {
  const Bits data = payloadData(settings, 0);
  return assemblePsdu(settings.macHeaderActive ? settings.macHeaderBits : Bits{}, data, settings.fcsActive);
}

}  // namespace dot11b::mac

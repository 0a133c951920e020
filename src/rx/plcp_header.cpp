// SPDX-License-Identifier: GPL-3.0-or-later
#include "rx/plcp_header.h"

#include <stdexcept>

#include "phy/plcp.h"

namespace dot11b::rx {

namespace {

unsigned fieldValue(const Bits& bits, std::size_t first, std::size_t count) {
  unsigned value = 0;
  for (std::size_t k = 0; k < count; ++k) value |= static_cast<unsigned>(bits[first + k] & 1) << k;
  return value;
}

}  // namespace

std::optional<double> PlcpHeader::rateMbps() const {
  switch (signal) {
    case 10: return 1.0;
    case 20: return 2.0;
    case 55: return 5.5;
    case 110: return 11.0;
    default: return std::nullopt;
  }
}

std::optional<std::size_t> PlcpHeader::psduOctets() const {
  const std::optional<double> rate = rateMbps();
  if (!rate) return std::nullopt;
  // In whole numbers: LENGTH x rate x 10 / 80 with the rate in 100 kbit/s.
  std::size_t octets = static_cast<std::size_t>(length) * signal / 80;
  const bool highRate = *rate > 2;
  if (highRate && pbcc()) octets = octets > 0 ? octets - 1 : 0;
  if (*rate == 11 && lengthExtension()) octets = octets > 0 ? octets - 1 : 0;
  return octets;
}

PlcpHeader parsePlcpHeader(const Bits& bits) {
  if (bits.size() != 48) throw std::invalid_argument("parsePlcpHeader: a PLCP header has 48 bits");
  PlcpHeader header;
  header.signal = static_cast<std::uint8_t>(fieldValue(bits, 0, 8));
  header.service = static_cast<std::uint8_t>(fieldValue(bits, 8, 8));
  header.length = static_cast<std::uint16_t>(fieldValue(bits, 16, 16));
  // The CRC is a general helper, not a modulator: the transmitter's routine checks the receiver's bits.
  const Bits covered(bits.begin(), bits.begin() + 32);
  header.crcOk = phy::crc16(covered) == Bits(bits.begin() + 32, bits.end());
  return header;
}

}  // namespace dot11b::rx

// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/transports/tcp_address.h"

#include <algorithm>

#include "instrument/io/bus_error.h"

namespace dot11b::instrio {
namespace {

[[noreturn]] void refuse(std::string_view text, const std::string& why) {
  throw BusError(INSTRIO_BAD_ARGUMENT, "instrIO: TCPIP address \"" + std::string(text) + "\" " + why);
}

uint16_t parsePort(std::string_view whole, std::string_view digits) {
  if (digits.empty() || digits.size() > 5 ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    refuse(whole, "has an invalid port '" + std::string(digits) + "' (expected 1 to 65535)");
  }
  const unsigned long port = std::stoul(std::string(digits));
  if (port < 1 || port > 65535) refuse(whole, "has port " + std::string(digits) + " outside 1 to 65535");
  return static_cast<uint16_t>(port);
}

}  // namespace

TcpEndpoint parseTcpAddress(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  const auto last = text.find_last_not_of(" \t");
  const std::string_view trimmed =
      first == std::string_view::npos ? std::string_view{} : text.substr(first, last - first + 1);
  if (trimmed.empty()) refuse(text, "is empty; enter the instrument's host name or IP address");

  TcpEndpoint endpoint;
  if (trimmed.front() == '[') {
    const auto close = trimmed.find(']');
    if (close == std::string_view::npos) refuse(text, "has no closing ']'");
    endpoint.host = std::string(trimmed.substr(1, close - 1));
    const std::string_view rest = trimmed.substr(close + 1);
    if (!rest.empty()) {
      if (rest.front() != ':') refuse(text, "has text after ']' that is not ':port'");
      endpoint.port = parsePort(text, rest.substr(1));
    }
  } else {
    const auto colons = std::count(trimmed.begin(), trimmed.end(), ':');
    if (colons == 1) {
      const auto colon = trimmed.find(':');
      endpoint.host = std::string(trimmed.substr(0, colon));
      endpoint.port = parsePort(text, trimmed.substr(colon + 1));
    } else {
      endpoint.host = std::string(trimmed);  // a name, an IPv4 address, or a bare IPv6 address
    }
  }
  if (endpoint.host.empty()) refuse(text, "names no host");
  if (endpoint.host.find_first_of(" \t") != std::string::npos) refuse(text, "holds a blank inside the host name");
  if (endpoint.host == "0.0.0.0" || endpoint.host == "::") {
    refuse(text, "is not set; enter the instrument's host name or IP address");
  }
  return endpoint;
}

}  // namespace dot11b::instrio

// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/instrument_uri.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/number_text.h"
#include "runtime/shortest_text.h"
#include "settings/radio_connection.h"
#include "settings/start_values.h"

namespace dot11b::settings {
namespace {

std::vector<std::string> splitColons(std::string_view text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (true) {
    const auto colon = text.find(':', start);
    parts.emplace_back(text.substr(start, colon == std::string_view::npos ? std::string_view::npos : colon - start));
    if (colon == std::string_view::npos) return parts;
    start = colon + 1;
  }
}

std::string lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

[[noreturn]] void refuse(std::string_view uri, const std::string& why) {
  throw std::invalid_argument("instrument address '" + std::string(uri) + "': " + why +
                              " (tcpip:HOST[:PORT], gpib:BOARD:PRIMARY[:SECONDARY], serial:PORT[:BAUD[:HANDSHAKE]]"
                              " or soapy:ARGS)");
}

double wholeNumber(std::string_view uri, const std::string& text, const char* what, double low, double high) {
  const auto value = rt::parseReal(text);
  if (!value || !(*value >= low && *value <= high) || *value != std::floor(*value)) {  // NaN and infinity fail
    refuse(uri, std::string(what) + " '" + text + "' is not a whole number from " + rt::shortestText(low) + " to " +
                    rt::shortestText(high));
  }
  return *value;
}

// The port text of HOST:PORT or [IPv6]:PORT; nothing for a host alone or a bare IPv6 address (whose
// colons separate its groups).
std::optional<std::string> tcpPort(std::string_view address) {
  const auto close = address.front() == '[' ? address.find(']') : std::string_view::npos;
  if (close != std::string_view::npos) {
    if (close + 1 < address.size() && address[close + 1] == ':') return std::string(address.substr(close + 2));
    return std::nullopt;
  }
  const auto colon = address.find(':');
  if (colon == std::string_view::npos || address.find(':', colon + 1) != std::string_view::npos) return std::nullopt;
  return std::string(address.substr(colon + 1));
}

void setSub(rt::Value& config, const char* group, const char* field, rt::Value value) {
  config.field(group).setField(field, std::move(value));
}

}  // namespace

rt::Value configurationFromUri(std::string_view uri) {
  const auto colon = uri.find(':');
  if (colon == std::string_view::npos) refuse(uri, "no bus named");
  const std::string scheme = lower(uri.substr(0, colon));
  const std::string_view rest = uri.substr(colon + 1);
  rt::Value config = initialConfiguration();
  if (scheme == "tcpip") {
    if (rest.empty() || rest.front() == ':') refuse(uri, "no host");
    if (rest.front() == '[' && (rest.find(']') == std::string_view::npos || rest.find(']') == 1))
      refuse(uri, "an IPv6 address in [ ] needs both brackets and the address between them");
    // Checked here, so that a port out of range is a bad address rather than a failed connection.
    if (const auto port = tcpPort(rest)) wholeNumber(uri, *port, "port", 1, 65535);
    config.setField("type", rt::Value::text("TCPIP"));
    setSub(config, "TCPIP", "address", rt::Value::text(rest));  // the module parses host and port
  } else if (scheme == "gpib") {
    const auto parts = splitColons(rest);
    if (parts.size() < 2 || parts.size() > 3) refuse(uri, "give the board and the primary address");
    config.setField("type", rt::Value::text("GPIB"));
    setSub(config, "GPIB", "board", rt::Value::scalar(wholeNumber(uri, parts[0], "board", 0, 15)));
    setSub(config, "GPIB", "primary", rt::Value::scalar(wholeNumber(uri, parts[1], "primary address", 0, 30)));
    const double secondary = parts.size() == 3 ? wholeNumber(uri, parts[2], "secondary address", 0, 30) : -1;
    setSub(config, "GPIB", "secondary", rt::Value::scalar(secondary));
  } else if (scheme == "serial") {
    const auto parts = splitColons(rest);
    if (parts.empty() || parts.size() > 3) refuse(uri, "give the port, and optionally the baud rate and handshake");
    config.setField("type", rt::Value::text("RS232"));
    setSub(config, "RS232", "port", rt::Value::scalar(wholeNumber(uri, parts[0], "port", 1, 255)));
    if (parts.size() >= 2) setSub(config, "RS232", "baudrate", rt::Value::scalar(wholeNumber(uri, parts[1], "baud rate", 50, 4000000)));
    if (parts.size() == 3) {
      const std::string handshake = lower(parts[2]);
      const char* name = handshake == "none" ? "None" : handshake == "xon/xoff" ? "Xon/Xoff" : handshake == "rts/cts" ? "RTS/CTS" : nullptr;
      if (name == nullptr) refuse(uri, "handshake '" + parts[2] + "' is not None, Xon/Xoff or RTS/CTS");
      setSub(config, "RS232", "handshake", rt::Value::text(name));
    }
  } else if (scheme == "soapy") {
    RadioConnection radio;
    radio.args = std::string(rest);
    config = withRadio(std::move(config), radio);
  } else {
    refuse(uri, "unknown bus '" + std::string(uri.substr(0, colon)) + "'");
  }
  return config;
}

}  // namespace dot11b::settings

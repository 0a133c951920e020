// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/scpi_text.h"

#include <cstdio>

#include "instrument/io/bus_error.h"

namespace dot11b::instrio {
namespace {

bool isControl(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte < 0x20 || byte == 0x7f;
}

std::string controlName(char c) {
  if (c == '\n') return "a line feed";
  if (c == '\r') return "a carriage return";
  if (c == '\t') return "a tab";
  char code[8];
  std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
  return std::string("the control character ") + code;
}

[[noreturn]] void refuse(const std::string& what, std::string_view text, const std::string& why) {
  throw BusError(INSTRIO_BAD_ARGUMENT,
                 "instrIO: " + what + " \"" + printable(text) + "\" " + why + "; nothing was sent");
}

}  // namespace

std::string printable(std::string_view text) {
  std::string out;
  for (const char c : text) {
    if (isControl(c)) {
      char code[8];
      std::snprintf(code, sizeof code, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
      out += code;
    } else {
      out += c;
    }
  }
  return out;
}

void checkCommandText(std::string_view text) {
  if (text.empty()) refuse("command text", text, "is empty");
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isControl(text[i]))
      refuse("command text", text, "holds " + controlName(text[i]) + " at position " + std::to_string(i + 1));
  }
  char openQuote = 0;  // SCPI strings use "..." or '...'; a doubled quote inside stands for one
  for (const char c : text) {
    if (openQuote == 0) {
      if (c == '"' || c == '\'') openQuote = c;
    } else if (c == openQuote) {
      openQuote = 0;  // a doubled quote reopens at once, which this toggling also covers
    }
  }
  if (openQuote != 0) refuse("command text", text, "ends inside a quoted string");
}

void checkWaveformTitle(std::string_view title) {
  if (title.empty()) refuse("waveform title", title, "is empty");
  for (std::size_t i = 0; i < title.size(); ++i) {
    if (title[i] == '"') refuse("waveform title", title, "holds a double quote at position " + std::to_string(i + 1));
    if (isControl(title[i]))
      refuse("waveform title", title, "holds " + controlName(title[i]) + " at position " + std::to_string(i + 1));
  }
}

bool isQuery(std::string_view text) {
  char openQuote = 0;
  for (const char c : text) {
    if (openQuote == 0) {
      if (c == '"' || c == '\'') openQuote = c;
      else if (c == '?') return true;
    } else if (c == openQuote) {
      openQuote = 0;
    }
  }
  return false;
}

std::optional<long> errorNumber(std::string_view reply) {
  std::size_t i = 0;
  while (i < reply.size() && reply[i] == ' ') ++i;
  const std::size_t sign = i;
  if (i < reply.size() && (reply[i] == '+' || reply[i] == '-')) ++i;
  const std::size_t digits = i;
  long value = 0;
  while (i < reply.size() && reply[i] >= '0' && reply[i] <= '9' && i - digits < 9)
    value = value * 10 + (reply[i++] - '0');
  if (i == digits) return std::nullopt;
  if (i < reply.size() && reply[i] != ',') return std::nullopt;
  return reply[sign] == '-' ? -value : value;
}

}  // namespace dot11b::instrio

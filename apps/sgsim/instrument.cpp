// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument.h"

#include "header_match.h"
#include "scpi_error.h"
#include "settings_table.h"

namespace sgsim {
namespace {

constexpr const char* kArbStatePattern = "[:SOURce]:RADio:ARB[:STATe]";
constexpr const char* kWaveformPattern = "[:SOURce]:RADio:ARB:WAVeform";

void expectParameters(const ProgramUnit& unit, std::size_t count) {
  if (unit.parameters.size() < count) throw ScpiError(-109, "Missing parameter");
  if (unit.parameters.size() > count) throw ScpiError(-108, "Parameter not allowed");
}

// A SCPI string of the text: in double quotes, with inner double quotes doubled.
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    out += c;
    if (c == '"') out += c;
  }
  return out + "\"";
}

std::string definiteBlock(const std::string& bytes) {
  const std::string length = std::to_string(bytes.size());
  std::string block(1, '#');  // appended piecewise: GCC 12 warns falsely on "#" + std::string
  block += std::to_string(length.size());
  block += length;
  block += bytes;
  return block;
}

}  // namespace

Instrument::Instrument(std::string storeFolder, long failCommand)
    : store_(std::move(storeFolder)), failCommand_(failCommand) {
  resetSettings();
}

void Instrument::resetSettings() {
  for (const SettingSpec& entry : settingSpecs()) settings_[entry.pattern] = entry.initial;
}

std::optional<std::string> Instrument::handle(const std::string& message) {
  std::optional<std::string> reply;
  try {
    for (const ProgramUnit& unit : parseMessage(message)) {
      try {
        if (const auto answer = runUnit(unit)) reply = reply ? *reply + ";" + *answer : *answer;
      } catch (const ScpiError& e) {
        errors_.push(e.code(), e.what());
      }
    }
  } catch (const ScpiError& e) {  // the message could not be parsed
    errors_.push(e.code(), e.what());
  }
  return reply;
}

std::optional<std::string> Instrument::runUnit(const ProgramUnit& unit) {
  if (!unit.query) {
    if (++commandsSeen_ == failCommand_) {
      throw ScpiError(-200, "Execution error;fault injected on command " + std::to_string(failCommand_));
    }
  }
  const std::string& h = unit.header;
  if (headerMatches("*IDN", h) && unit.query) {
    expectParameters(unit, 0);
    return kIdentity;
  }
  if (headerMatches("*OPC", h)) {
    expectParameters(unit, 0);
    return unit.query ? std::optional<std::string>("1") : std::nullopt;
  }
  if (!unit.query && (headerMatches("*RST", h) || headerMatches("*CLS", h) || headerMatches("*WAI", h))) {
    expectParameters(unit, 0);
    if (headerMatches("*RST", h)) resetSettings();
    if (headerMatches("*CLS", h)) errors_.clear();
    return std::nullopt;
  }
  if (headerMatches(":SYSTem:ERRor[:NEXT]", h) && unit.query) {
    expectParameters(unit, 0);
    return errors_.pop();
  }
  if (headerMatches(":SYSTem:LOCal", h) && !unit.query) {  // no front panel to hand back to
    expectParameters(unit, 0);
    return std::nullopt;
  }
  if (headerMatches(":MMEMory:DATA", h)) return runMemoryData(unit);
  bool matched = false;
  const auto answer = runSetting(unit, matched);
  if (!matched) throw ScpiError(-113, "Undefined header");
  return answer;
}

std::optional<std::string> Instrument::runMemoryData(const ProgramUnit& unit) {
  if (unit.query) {
    expectParameters(unit, 1);
    if (unit.parameters[0].kind != Parameter::Kind::String) throw ScpiError(-104, "Data type error");
    return definiteBlock(store_.load(unit.parameters[0].value));
  }
  expectParameters(unit, 2);
  if (unit.parameters[0].kind != Parameter::Kind::String || unit.parameters[1].kind != Parameter::Kind::Block) {
    throw ScpiError(-104, "Data type error");
  }
  store_.store(unit.parameters[0].value, unit.parameters[1].value);
  return std::nullopt;
}

std::optional<std::string> Instrument::runSetting(const ProgramUnit& unit, bool& matched) {
  for (const SettingSpec& entry : settingSpecs()) {
    if (!headerMatches(entry.pattern, unit.header)) continue;
    matched = true;
    if (unit.query) {
      expectParameters(unit, 0);
      return settings_[entry.pattern];
    }
    expectParameters(unit, 1);
    std::string value = canonicalValue(entry.rule, unit.parameters[0]);
    if (entry.rule.kind == ValueKind::Name) {
      if (!store_.hasWaveform(value)) throw ScpiError(-256, "File name not found");
      value = quoted(value);
    }
    if (entry.pattern == kArbStatePattern && value == "1" && settings_[kWaveformPattern] == "\"\"") {
      throw ScpiError(-221, "Settings conflict;no waveform selected");
    }
    settings_[entry.pattern] = value;
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace sgsim

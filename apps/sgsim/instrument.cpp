#include "instrument.h"

#include "header_match.h"
#include "scpi_error.h"
#include "settings_table.h"

namespace sgsim {
namespace {

constexpr const char* kArbStatePattern = "[:SOURce]:RADio:ARB[:STATe]";
constexpr const char* kWaveformPattern = "[:SOURce]:RADio:ARB:WAVeform";

void expect_parameters(const ProgramUnit& unit, std::size_t count) {
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

std::string definite_block(const std::string& bytes) {
  const std::string length = std::to_string(bytes.size());
  std::string block(1, '#');  // appended piecewise: GCC 12 warns falsely on "#" + std::string
  block += std::to_string(length.size());
  block += length;
  block += bytes;
  return block;
}

}  // namespace

Instrument::Instrument(std::string store_folder, long fail_command)
    : store_(std::move(store_folder)), fail_command_(fail_command) {
  reset_settings();
}

void Instrument::reset_settings() {
  for (const SettingSpec& spec : setting_specs()) settings_[spec.pattern] = spec.initial;
}

std::optional<std::string> Instrument::handle(const std::string& message) {
  std::optional<std::string> reply;
  try {
    for (const ProgramUnit& unit : parse_message(message)) {
      try {
        if (const auto answer = run_unit(unit)) reply = reply ? *reply + ";" + *answer : *answer;
      } catch (const ScpiError& e) {
        errors_.push(e.code(), e.what());
      }
    }
  } catch (const ScpiError& e) {  // the message could not be parsed
    errors_.push(e.code(), e.what());
  }
  return reply;
}

std::optional<std::string> Instrument::run_unit(const ProgramUnit& unit) {
  if (!unit.query) {
    if (++commands_seen_ == fail_command_) {
      throw ScpiError(-200, "Execution error;fault injected on command " + std::to_string(fail_command_));
    }
  }
  const std::string& h = unit.header;
  if (header_matches("*IDN", h) && unit.query) {
    expect_parameters(unit, 0);
    return kIdentity;
  }
  if (header_matches("*OPC", h)) {
    expect_parameters(unit, 0);
    return unit.query ? std::optional<std::string>("1") : std::nullopt;
  }
  if (!unit.query && (header_matches("*RST", h) || header_matches("*CLS", h) || header_matches("*WAI", h))) {
    expect_parameters(unit, 0);
    if (header_matches("*RST", h)) reset_settings();
    if (header_matches("*CLS", h)) errors_.clear();
    return std::nullopt;
  }
  if (header_matches(":SYSTem:ERRor[:NEXT]", h) && unit.query) {
    expect_parameters(unit, 0);
    return errors_.pop();
  }
  if (header_matches(":SYSTem:LOCal", h) && !unit.query) {  // no front panel to hand back to
    expect_parameters(unit, 0);
    return std::nullopt;
  }
  if (header_matches(":MMEMory:DATA", h)) return run_memory_data(unit);
  bool matched = false;
  const auto answer = run_setting(unit, matched);
  if (!matched) throw ScpiError(-113, "Undefined header");
  return answer;
}

std::optional<std::string> Instrument::run_memory_data(const ProgramUnit& unit) {
  if (unit.query) {
    expect_parameters(unit, 1);
    if (unit.parameters[0].kind != Parameter::Kind::String) throw ScpiError(-104, "Data type error");
    return definite_block(store_.load(unit.parameters[0].value));
  }
  expect_parameters(unit, 2);
  if (unit.parameters[0].kind != Parameter::Kind::String || unit.parameters[1].kind != Parameter::Kind::Block) {
    throw ScpiError(-104, "Data type error");
  }
  store_.store(unit.parameters[0].value, unit.parameters[1].value);
  return std::nullopt;
}

std::optional<std::string> Instrument::run_setting(const ProgramUnit& unit, bool& matched) {
  for (const SettingSpec& spec : setting_specs()) {
    if (!header_matches(spec.pattern, unit.header)) continue;
    matched = true;
    if (unit.query) {
      expect_parameters(unit, 0);
      return settings_[spec.pattern];
    }
    expect_parameters(unit, 1);
    std::string value = canonical_value(spec.rule, unit.parameters[0]);
    if (spec.rule.kind == ValueKind::Name) {
      if (!store_.has_waveform(value)) throw ScpiError(-256, "File name not found");
      value = quoted(value);
    }
    if (spec.pattern == kArbStatePattern && value == "1" && settings_[kWaveformPattern] == "\"\"") {
      throw ScpiError(-221, "Settings conflict;no waveform selected");
    }
    settings_[spec.pattern] = value;
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace sgsim

// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/connection_dialog_radio.h"

#include <cmath>
#include <exception>
#include <string>

#include "runtime/library.h"
#include "runtime/number_text.h"
#include "toolkit/figures.h"

namespace dot11b::windows::connection_dialog {

namespace {

using rt::Value;

// The device arguments that name one radio found: its driver and serial (or label when it has none).
std::string argumentsOf(const Value& found) {
  const auto text = [&](const char* key) {
    const Value* v = found.findField(key);
    return v != nullptr && v->isText() ? v->toUtf8() : std::string();
  };
  std::string args = "driver=" + text("driver");
  if (!text("serial").empty()) args += ",serial=" + text("serial");
  else if (!text("label").empty()) args += ",label=" + text("label");
  return args;
}

}  // namespace

void showRadio(const toolkit::Window& dialog, const Value& record) {
  settings::RadioConnection radio;
  try {
    radio = settings::radioConnection(record);
  } catch (const std::invalid_argument&) {
    // A radio record that is not sound opens with the radio's defaults.
  }
  dialog["editRadioArgs"].setText(radio.args);
  dialog["editRadioAntenna"].setText(radio.antenna);
  dialog["editRadioChannel"].setText(rt::numberToText(radio.channel));
  dialog["editRadioOffset"].setText(rt::numberToText(radio.offset));
}

settings::RadioConnection radioInDialog(const toolkit::Window& dialog, const settings::RadioConnection& before) {
  settings::RadioConnection radio = before;
  radio.args = dialog["editRadioArgs"].text();
  radio.antenna = dialog["editRadioAntenna"].text();
  if (const auto channel = rt::parseReal(dialog["editRadioChannel"].text());
      channel && *channel >= 0 && *channel <= 1023 && *channel == std::floor(*channel))
    radio.channel = *channel;
  if (const auto offset = rt::parseReal(dialog["editRadioOffset"].text()); offset && std::isfinite(*offset))
    radio.offset = *offset;
  return radio;
}

Value withRadioFields(Value record, const settings::RadioConnection& radio) {
  const bool chosen = settings::isRadioConnection(record);
  const std::string type = record.field("type").toUtf8();
  record = settings::withRadio(std::move(record), radio);
  return chosen ? record : settings::withInstrument(std::move(record), type);
}

void pbFindRadios(toolkit::Handle, const Value& handles) {
  const toolkit::Window dialog(handles);
  const toolkit::BusyPointer busy(toolkit::handleIn(handles, "figureVisaAddress"));
  const toolkit::Control status(toolkit::handleIn(handles, "lblStatus"));
  status.setText("... Looking for radios ...");
  std::vector<std::string> entries;
  try {
    const Value found = rt::callByName("Dot11b_Devices", {Value::text("")}, 1).front();
    for (const Value& radio : found.cells()) entries.push_back(argumentsOf(radio));
  } catch (const std::exception& e) {
    status.setText(e.what());
    return;
  }
  dialog["pmRadios"].setItems(entries.empty() ? std::vector<std::string>{"(none found)"} : entries);
  dialog["pmRadios"].setValue(1);
  if (!entries.empty()) dialog["editRadioArgs"].setText(entries.front());
  status.setText(entries.empty() ? "SoapySDR finds no radio" : "Found " + std::to_string(entries.size()) + " radio(s)");
}

void pmRadios(toolkit::Handle h, const Value& handles) {
  const toolkit::Control list(h);
  const std::vector<std::string> items = list.items();
  const double entry = list.value();
  if (entry < 1 || entry > static_cast<double>(items.size())) return;
  const std::string& chosen = items[static_cast<std::size_t>(entry) - 1];
  if (chosen.rfind("driver=", 0) == 0) toolkit::Window(handles)["editRadioArgs"].setText(chosen);
}

}  // namespace dot11b::windows::connection_dialog

// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's control callbacks: each reads its control, stores into the records and redraws what
// depends on it. Entries are never refused: they are converted, rounded and clamped.
#include <cmath>
#include <stdexcept>
#include <utility>
#include <vector>

#include "runtime/library.h"
#include "runtime/number_text.h"
#include "runtime/shortest_text.h"
#include "settings/number_entry.h"
#include "settings/parameter_rules.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"
#include "windows/field_text.h"
#include "windows/format_panel.h"
#include "windows/window_module.h"

namespace dot11b::windows::format_panel {

namespace {

rt::Value& parameters() { return rt::global("parameters"); }
double param(std::string_view field) { return globalNumber("parameters", field); }
void setParam(std::string_view field, double x) { setGlobalNumber("parameters", field, x); }

// The entry chosen in a pop-up list, checked against the number of entries the callback knows.
int entry(toolkit::Handle h, int count) {
  const double v = toolkit::Control(h).value();
  if (v < 1 || v > count || v != std::floor(v)) {
    throw std::invalid_argument("entry " + rt::shortestText(v) + " is not one of the " + std::to_string(count) +
                                " entries of " + toolkit::Control(h).tag());
  }
  return static_cast<int>(v);
}

double checkState(toolkit::Handle h) { return toolkit::Control(h).value() != 0 ? 1 : 0; }

// The range the parameter rules give a field, with the record as it stands.
std::pair<double, double> range(std::string_view field) { return settings::allowedRange(parameters(), field); }

// Ramp and idle times are entered in µs and stored in samples.
void storeTime(toolkit::Handle h, std::string_view field, const rt::Value& handles) {
  setParam(field, samplesOfTime(field, toolkit::Control(h).text()));
  toolkit::Control(h).setText(timeText(field, param(field)));
  redrawProjectedLength(handles);
}

}  // namespace

double samplesOfTime(std::string_view field, std::string_view text) {
  const double samplesPerUs = 11 * param("OverSampling");
  const auto [lowest, highest] = range(field);
  const double t = settings::Entry(text).atLeast(lowest / samplesPerUs).atMost(highest / samplesPerUs).value();
  return std::round(t * samplesPerUs);
}

std::string timeText(std::string_view field, double samples) {
  return fieldText(samples / (11 * param("OverSampling")),
                   [field, samples](const std::string& t) { return samplesOfTime(field, t) == samples; });
}

double filterFactorOf(std::string_view text) {
  const auto [lowest, highest] = range("FilterFactor");
  return settings::Entry(text).atMost(highest).atLeast(lowest).value();
}

std::string filterFactorText(double factor) {
  return fieldText(factor, [factor](const std::string& t) { return filterFactorOf(t) == factor; });
}

void tbGenerationMode(toolkit::Handle h, const rt::Value& handles) {
  setParam("generationMode", checkState(h));
  redrawFormatParameters(handles);
}

void pdDataRate(toolkit::Handle h, const rt::Value& handles) {
  const std::vector<double> rates = settings::allowedChoices("dataRate");
  const int i = entry(h, static_cast<int>(rates.size()));
  setParam("dataRate", rates[i - 1]);
  if (i == 1) setParam("preambleType", 0);
  redrawFormatParameters(handles);
}

void pdModulation(toolkit::Handle h, const rt::Value& handles) {
  setParam("highRateMod", entry(h, static_cast<int>(toolkit::Control(h).items().size())) - 1);
  redrawFormatParameters(handles);
}

void pdPreambleFormat(toolkit::Handle h, const rt::Value& handles) {
  setParam("preambleType", entry(h, 2) - 1);
  redrawProjectedLength(handles);
}

void chkClkLocked(toolkit::Handle h, const rt::Value&) { setParam("clkLocked", checkState(h)); }

void pdScrambler(toolkit::Handle h, const rt::Value&) { setParam("scramblerActive", entry(h, 3) - 1); }

void chkEncoderActive(toolkit::Handle h, const rt::Value& handles) {
  setParam("encoderActive", checkState(h));
  redrawProjectedLength(handles);
}

void pdChannels(toolkit::Handle h, const rt::Value& handles) {
  const int channel = entry(h, static_cast<int>(range("Channel").second));
  setParam("Channel", channel);
  setGlobalNumber("SigGenSettings", "Frequency", channelFrequency(channel));
  redraw(handles);
}

void pdPowerRamp(toolkit::Handle h, const rt::Value& handles) {
  setParam("rampType", entry(h, 3) - 1);
  redrawFormatParameters(handles);
}

void txtRampTime(toolkit::Handle h, const rt::Value& handles) { storeTime(h, "rampLength", handles); }

void txtIdleInterval(toolkit::Handle h, const rt::Value& handles) { storeTime(h, "idleSamples", handles); }

void txtOversampleRate(toolkit::Handle h, const rt::Value& handles) {
  const auto [lowest, highest] = range("OverSampling");
  const double n = settings::Entry(toolkit::Control(h).text()).round().atMost(highest).atLeast(lowest).value();
  const double s = n / param("OverSampling");
  setParam("OverSampling", n);
  setParam("idleSamples", std::round(param("idleSamples") * s));
  setParam("rampLength", std::round(param("rampLength") * s));
  setGlobalNumber("SigGenSettings", "SamplingRate", 11000000 * n);
  redraw(handles);
}

void pdFilterType(toolkit::Handle h, const rt::Value& handles) {
  const double type = entry(h, 3) - 1;
  setParam("FilterType", type);
  // A factor entered while no filter was chosen may lie below what the new filter allows.
  setParam("FilterFactor", std::max(param("FilterFactor"), range("FilterFactor").first));
  redrawGenerationParameters(handles);
}

void txtFilterFactor(toolkit::Handle h, const rt::Value&) {
  setParam("FilterFactor", filterFactorOf(toolkit::Control(h).text()));
  toolkit::Control(h).setText(filterFactorText(param("FilterFactor")));
}

// The length is counted in symbols, whatever the oversampling: a whole number of them, so that the
// length shown is the length stored.
void txtFilterTaps(toolkit::Handle h, const rt::Value&) {
  const auto [lowest, highest] = range("FilterTaps");
  const double n = settings::Entry(toolkit::Control(h).text()).round().atMost(highest).atLeast(lowest).value();
  setParam("FilterTaps", n);
  toolkit::Control(h).setText(rt::numberToText(n));
}

void chkMirrorSpectrum(toolkit::Handle h, const rt::Value&) { setParam("MirrorSpectrum", checkState(h)); }

void chkMACheader(toolkit::Handle h, const rt::Value& handles) {
  parameters().field("MACheader").setField("Active", rt::Value::scalar(checkState(h)));
  redrawPaylodSetup(handles);
}

void chkMACfcs(toolkit::Handle h, const rt::Value& handles) {
  parameters().field("MACfcs").setField("Active", rt::Value::scalar(checkState(h)));
  redrawPaylodSetup(handles);
}

void pbMACheaderSetup(toolkit::Handle, const rt::Value& handles) {
  const rt::Value dialog = rt::global("figureList").field("MACheader");
  const rt::Value contents = parameters().field("MACheader").field("Contents");
  const rt::Values out = rt::callByName("Dot11_MACconfig", {dialog, contents}, 2);
  if (out.size() < 2 || !out[0].isText() || out[0].toUtf8() != "OK") return;
  rt::Value& header = parameters().field("MACheader");
  header.setField("Contents", out[1]);
  header.setField("Length", rt::Value::scalar(static_cast<double>(out[1].field("BitStream").numel()) / 8));
  redrawPaylodSetup(handles);
}

void pdDATAsourceType(toolkit::Handle h, const rt::Value& handles) {
  constexpr int kUserFile = 7;
  const int source = entry(h, 7);
  // The user-file source reads its octets from a file: one is chosen with it, and choosing none keeps the
  // source there was.
  if (source == kUserFile) {
    const auto choice = toolkit::dialogs().openFile("*");
    if (!choice) {
      redrawPaylodSetup(handles);
      return;
    }
    parameters().setField("dataSourceName", rt::Value::text(choice->folder + choice->name));
  }
  setParam("dataSourceType", source);
  redrawPaylodSetup(handles);
}

void txtDataLength(toolkit::Handle h, const rt::Value& handles) {
  const auto [lowest, highest] = range("dataLength");
  setParam("dataLength", settings::Entry(toolkit::Control(h).text()).round().atMost(highest).atLeast(lowest).value());
  redrawPaylodSetup(handles);
}

}  // namespace dot11b::windows::format_panel

// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's redraw routines: every control brought in line with the parameters record.
#include "runtime/library.h"
#include "runtime/number_text.h"
#include "settings/start_values.h"
#include "toolkit/controls.h"
#include "windows/format_panel.h"
#include "windows/window_module.h"

namespace dot11b::windows::format_panel {

namespace {

double param(std::string_view field) { return globalNumber("parameters", field); }
double subParam(std::string_view record, std::string_view field) {
  return rt::global("parameters").field(record).field(field).scalarValue();
}

// A value shown in an edit field or display.
std::string shown(double x) { return rt::numberToText(x); }

struct RateRow {
  double rate;
  bool modulationEnabled;
  std::vector<std::string> modulations;
};

const RateRow& rateRow(double rate) {
  static const RateRow rows[] = {{1, false, {"DBPSK"}},
                                 {2, false, {"DQPSK"}},
                                 {5.5, true, {"CCK", "PBCC"}},
                                 {11, true, {"CCK", "PBCC"}}};
  for (const RateRow& row : rows)
    if (row.rate == rate) return row;
  throw std::invalid_argument("parameters.dataRate: " + shown(rate) + " is not 1, 2, 5.5 or 11");
}

int rateEntry(double rate) { return rate == 1 ? 1 : rate == 2 ? 2 : rate == 5.5 ? 3 : 4; }

}  // namespace

void redraw(const rt::Value& handles) {
  redrawFormatParameters(handles);
  redrawGenerationParameters(handles);
  redrawPaylodSetup(handles);
  callModule("RfCommonUI", "redrawAppTitle", {handles});
  callModule("ZELconfig_c", "redrawSigGenSettings", {handles});
}

void redrawFormatParameters(const rt::Value& handles) {
  const toolkit::Window panel(handles);
  const bool framed = param("generationMode") == 1;
  const double rate = param("dataRate");
  panel["tbGenerationMode"].setText(framed ? "Framed" : "Unframed");
  // The toggle's pressed state follows the record too, so that a loaded parameter set shows as it is.
  panel["tbGenerationMode"].setValue(framed ? 1 : 0);
  panel["pdPreambleFormat"].setEnabled(framed && rate > 1);
  for (const char* tag : {"chkClkLocked", "pdPowerRamp", "txtRampTime", "txtIdleInterval", "chkMACheader", "chkMACfcs",
                          "pbMACheaderSetup"}) {
    panel[tag].setEnabled(framed);
  }

  const RateRow& row = rateRow(rate);
  panel["pdDataRate"].setValue(rateEntry(rate));
  panel["pdModulation"].setEnabled(row.modulationEnabled);
  panel["pdModulation"].setItems(row.modulations);
  panel["pdModulation"].setValue(row.modulationEnabled ? param("highRateMod") + 1 : 1);

  panel["chkEncoderActive"].setEnabled(rate > 2 && param("highRateMod") == 1);

  panel["pdPreambleFormat"].setValue(param("preambleType") + 1);
  panel["chkClkLocked"].setValue(param("clkLocked"));
  panel["pdScrambler"].setValue(param("scramblerActive") + 1);
  panel["chkEncoderActive"].setValue(param("encoderActive"));
  panel["pdPowerRamp"].setValue(param("rampType") + 1);

  panel["txtRampTime"].setEnabled(!(param("rampType") == 0 || !framed));

  panel["txtRampTime"].setText(timeText("rampLength", param("rampLength")));
  panel["txtIdleInterval"].setText(timeText("idleSamples", param("idleSamples")));
  panel["pdChannels"].setValue(param("Channel"));
  redrawProjectedLength(handles);
}

void redrawGenerationParameters(const rt::Value& handles) {
  const toolkit::Window panel(handles);
  panel["txtOversampleRate"].setText(shown(param("OverSampling")));
  const double filterType = param("FilterType");
  panel["pdFilterType"].setValue(filterType + 1);
  const bool filtered = filterType != 0;
  panel["lblFilterFactor"].setText(filterType == 1 ? "bT:  " : filterType == 2 ? "a:  " : "");
  for (const char* tag : {"txtFilterFactor", "txtFilterTaps", "lblFilterTaps"}) panel[tag].setVisible(filtered);
  panel["txtFilterFactor"].setText(filterFactorText(param("FilterFactor")));
  panel["txtFilterTaps"].setText(shown(param("FilterTaps")));
  panel["chkMirrorSpectrum"].setValue(param("MirrorSpectrum"));
  redrawProjectedLength(handles);
}

void redrawPaylodSetup(const rt::Value& handles) {
  const toolkit::Window panel(handles);
  const double headerActive = subParam("MACheader", "Active");
  panel["chkMACheader"].setValue(headerActive);
  panel["pbMACheaderSetup"].setEnabled(headerActive == 1);
  panel["chkMACfcs"].setValue(subParam("MACfcs", "Active"));
  panel["pdDATAsourceType"].setValue(param("dataSourceType"));
  panel["txtDataLength"].setText(shown(param("dataLength")));
  rt::Value& p = rt::global("parameters");
  p.setField("totalLength", rt::Value::scalar(settings::totalLength(p)));
  panel["txtTotalLength"].setText(shown(param("totalLength")));
  redrawProjectedLength(handles);
}

void redrawProjectedLength(const rt::Value& handles) {
  rt::Value& p = rt::global("parameters");
  p.setField("ProjectedLength", rt::Value::scalar(settings::projectedLength(p)));
  toolkit::Window(handles)["txtNumberOfSamples"].setText(shown(param("ProjectedLength")) + " Samples");
}

}  // namespace dot11b::windows::format_panel

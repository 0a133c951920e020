// SPDX-License-Identifier: GPL-3.0-or-later
// The format panel and the signal generator section over a toolkit without widgets: the modules' rules
// as plain code, through their controls' properties.
#include <gtest/gtest.h>

#include "fake_toolkit.h"
#include "runtime/library.h"
#include "runtime/shortest_text.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"
#include "windows/app_window.h"
#include "windows/format_panel.h"
#include "windows/sig_gen_panels.h"

namespace dot11b::windows_test {
namespace {

using rt::Value;
namespace panel = windows::format_panel;

void registerModules(rt::Registry& r) {
  r.add(rt::moduleRoutine("RfCommonUI", windows::app_window::module()));
  r.add(rt::moduleRoutine("ZELconfig_c", windows::sig_gen_panel::module()));
}
DOT11B_REGISTER_ROUTINES(registerModules)

const std::vector<std::string> kControls = {
    "tbGenerationMode", "pdDataRate", "pdModulation", "pdPreambleFormat", "chkClkLocked", "pdScrambler",
    "chkEncoderActive", "pdChannels", "pdPowerRamp", "txtRampTime", "txtIdleInterval", "txtOversampleRate",
    "pdFilterType", "lblFilterFactor", "txtFilterFactor", "lblFilterTaps", "txtFilterTaps", "chkMirrorSpectrum",
    "chkMACheader", "pbMACheaderSetup", "chkMACfcs", "pdDATAsourceType", "txtDataLength", "txtTotalLength",
    "txtNumberOfSamples", "txtFrequency", "pdFrequencyUnits", "txtAmplitude", "txtWaveformTitle"};

class PanelWithoutWidgets : public ::testing::Test {
 protected:
  void SetUp() override {
    rt::initializeLibrary();
    toolkit::install(&toolkit);
    rt::global("appInfo") = settings::initialAppInfo();
    rt::global("configuration") = settings::initialConfiguration();
    rt::global("parameters") = settings::initialParameters();
    rt::global("SigGenSettings") = settings::initialSigGenSettings(4);
    handles = toolkit.addWindow("main", kControls);
    panel::redraw(handles);
  }
  void TearDown() override {
    toolkit::install(nullptr);
    rt::terminateLibrary();
  }
  double h(const char* tag) { return handles.field(tag).scalarValue(); }
  Value property(const char* tag, const char* name) { return toolkit.get(h(tag), name); }
  void enter(const char* tag, const char* text) { toolkit.set(h(tag), "String", Value::text(text)); }
  void pick(const char* tag, double entry) { toolkit.set(h(tag), "Value", Value::scalar(entry)); }
  double parameter(const char* field) { return rt::global("parameters").field(field).scalarValue(); }

  FakeToolkit toolkit;
  Value handles;
};

TEST_F(PanelWithoutWidgets, RedrawShowsTheStartValues) {
  EXPECT_EQ(property("txtNumberOfSamples", "String").toUtf8(), "45792 Samples");
  EXPECT_EQ(property("tbGenerationMode", "String").toUtf8(), "Framed");
  EXPECT_EQ(property("pdDataRate", "Value").scalarValue(), 4);
  EXPECT_EQ(property("txtRampTime", "String").toUtf8(), "2");
  EXPECT_EQ(property("lblFilterFactor", "String").toUtf8(), "bT:  ");
  EXPECT_EQ(property("main", "Name").toUtf8(), "Vantrel Wavendo - IEEE 802.11b-1999 (DSSS)");
  EXPECT_EQ(property("txtFrequency", "String").toUtf8(), "2.412");
  EXPECT_EQ(property("pdFrequencyUnits", "Value").scalarValue(), 4);
}

TEST_F(PanelWithoutWidgets, OversamplingKeepsTheTimesAndSetsTheSamplingRate) {
  enter("txtOversampleRate", "3");
  panel::txtOversampleRate(h("txtOversampleRate"), handles);
  EXPECT_EQ(parameter("rampLength"), 66);
  EXPECT_EQ(parameter("idleSamples"), 3300);
  EXPECT_EQ(rt::global("SigGenSettings").field("SamplingRate").scalarValue(), 33000000);
  EXPECT_EQ(property("txtRampTime", "String").toUtf8(), "2");
}

TEST_F(PanelWithoutWidgets, UnframedDisablesTheFrameControls) {
  pick("tbGenerationMode", 0);
  panel::tbGenerationMode(h("tbGenerationMode"), handles);
  for (const char* tag : {"pdPreambleFormat", "chkClkLocked", "pdPowerRamp", "txtRampTime", "txtIdleInterval",
                          "chkMACheader", "chkMACfcs", "pbMACheaderSetup"}) {
    EXPECT_EQ(property(tag, "Enable").toUtf8(), "off") << tag;
  }
  // A full redraw lets the set-up button follow the MAC header switch alone.
  panel::redraw(handles);
  EXPECT_EQ(property("pbMACheaderSetup", "Enable").toUtf8(), "off");
}

TEST_F(PanelWithoutWidgets, AnEntryOutsideAListIsRefusedAndChangesNothing) {
  pick("pdDataRate", 7);
  EXPECT_THROW(panel::pdDataRate(h("pdDataRate"), handles), std::invalid_argument);
  EXPECT_EQ(parameter("dataRate"), 11);
}

// A value typed into the panel and the same value in an opened parameter file end the same: the panel and
// File > Open clamp by one set of rules. Times are typed in us and stored in samples.
TEST_F(PanelWithoutWidgets, ClampsEveryTypedFieldAsOpeningAFileDoes) {
  using Callback = void (*)(toolkit::Handle, const Value&);
  struct Case {
    const char* control;
    Callback callback;
    const char* field;
    double filterType;
    std::vector<double> typed;
    double samplesPerTyped;
  };
  const Case cases[] = {
      {"txtDataLength", panel::txtDataLength, "dataLength", 1, {-3, 2312.4, 2313, 1e12}, 1},
      {"txtOversampleRate", panel::txtOversampleRate, "OverSampling", 1, {-1, 1.4, 9.5, 40}, 1},
      {"txtRampTime", panel::txtRampTime, "rampLength", 1, {-2, 0.5, 1000.01, 3e4}, 44},
      {"txtIdleInterval", panel::txtIdleInterval, "idleSamples", 1, {-1e9, 999.99, 1001}, 44},
      {"txtFilterFactor", panel::txtFilterFactor, "FilterFactor", 0, {-1, 0.01, 1.5}, 1},
      {"txtFilterFactor", panel::txtFilterFactor, "FilterFactor", 1, {-1, 0.07, 0.3, 2}, 1},
      {"txtFilterFactor", panel::txtFilterFactor, "FilterFactor", 2, {0, 0.04, 7}, 1},
      {"txtFilterTaps", panel::txtFilterTaps, "FilterTaps", 1, {-8, 0, 1001, 1e6}, 1},
  };
  for (const Case& c : cases) {
    for (const double typed : c.typed) {
      Value opened = settings::initialParameters();
      opened.setField("FilterType", Value::scalar(c.filterType));
      opened.setField(c.field, Value::scalar(typed * c.samplesPerTyped));
      settings::bringWithinRules(opened);

      rt::global("parameters") = settings::initialParameters();
      rt::global("parameters").setField("FilterType", Value::scalar(c.filterType));
      panel::redraw(handles);
      enter(c.control, rt::shortestText(typed).c_str());
      c.callback(h(c.control), handles);
      EXPECT_EQ(parameter(c.field), opened.field(c.field).scalarValue())
          << c.field << " typed as " << typed << " with filter " << c.filterType;
    }
  }
}

}  // namespace
}  // namespace dot11b::windows_test

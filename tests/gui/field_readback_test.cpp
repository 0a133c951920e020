// SPDX-License-Identifier: GPL-3.0-or-later
// Return in a numeric field after any stored value: the text shown reads back as the value stored, so
// pressing Return without typing changes no record, in the main window and in both dialogs.
#include "app_driver.h"

namespace dot11b::gui_test {
namespace {

class FieldReadback : public AppTest {
 protected:
  // Stores the values into the records and redraws the window from them.
  void store(const std::vector<std::pair<const char*, double>>& parameters,
             const std::vector<std::pair<const char*, double>>& sigGen) {
    Value p = global("parameters"), s = global("SigGenSettings");
    for (const auto& [field, v] : parameters) p.setField(field, Value::scalar(v));
    for (const auto& [field, v] : sigGen) s.setField(field, Value::scalar(v));
    setGlobal("parameters", p);
    setGlobal("SigGenSettings", s);
    call("Dot11b_GUI_c", {Value::text("redraw"), call1("Guihandles", {Value::scalar(handle("main"))})}, 0);
  }
  // Presses Return in each field; the record must stay as it was.
  void returnIn(const std::vector<const char*>& fields, const char* record, const std::string& stored) {
    for (const char* tag : fields) {
      const Value before = global(record);
      const std::string shown = text(tag);
      click(tag);
      EXPECT_EQ(global(record), before) << tag << " showed '" << shown << "' for " << stored;
      EXPECT_EQ(text(tag), shown) << tag;
    }
  }
};

const std::vector<const char*> kPanelFields = {"txtRampTime", "txtIdleInterval", "txtOversampleRate", "txtFilterFactor",
                                               "txtFilterTaps", "txtDataLength"};

TEST_F(FieldReadback, ReturnInTheMainWindowKeepsEveryStoredValue) {
  returnIn(kPanelFields, "parameters", "the start values");
  returnIn({"txtFrequency", "txtAmplitude"}, "SigGenSettings", "the start values");
  // Oversampling with ramp and idle lengths that are no round number of µs, filter factors of many digits,
  // and a filter length that is no multiple of the oversampling.
  const struct {
    double overSampling, rampLength, idleSamples, filterType, filterFactor, filterTaps;
  } panels[] = {{9, 7, 98999, 1, 0.123456789, 7}, {7, 1, 76999, 2, 0.05, 1000}, {3, 32999, 1, 1, 1.0 / 3, 1},
                {2, 21999, 3, 2, 0.999999999, 5}, {4, 6, 0, 0, 0, 6}};
  for (const auto& c : panels) {
    store({{"OverSampling", c.overSampling}, {"rampType", 1}, {"rampLength", c.rampLength},
           {"idleSamples", c.idleSamples}, {"FilterType", c.filterType}, {"FilterFactor", c.filterFactor},
           {"FilterTaps", c.filterTaps}},
          {{"SamplingRate", 11e6 * c.overSampling}});
    returnIn(kPanelFields, "parameters", "oversampling " + std::to_string(c.overSampling));
  }
  // Frequencies in every unit, whole and not, at the ends of the range and just below a unit's end.
  for (const double f : {999999999.0, 1000000001.0, 999999.0, 2412345678.9, 123456.789, 100000.3, 5999999999.99,
                         6e9, 1e5, 2484000000.0, 1234567890.123, 999999.999}) {
    store({}, {{"Frequency", f}, {"Amplitude", -136}});
    returnIn({"txtFrequency", "txtAmplitude"}, "SigGenSettings", std::to_string(f) + " Hz");
  }
}

TEST_F(FieldReadback, ReturnInTheDialogsKeepsEveryStoredValue) {
  for (const double rate : {44e6, 99999999.0, 1234567.891, 999.999999, 1.0, 100e6, 12345.6789}) {
    store({}, {{"SamplingRate", rate}, {"Scaling", 12.35}, {"ModAtten", 40}});
    onWait = [&](double) {
      returnIn({"txtSamplingRate", "txtScaling", "txtModAtten"}, "newSettings", std::to_string(rate) + " Hz");
      click("pbCancel");
    };
    click("pbAdvancedSettings");
  }
  check("chkMACheader", true);
  onWait = [&](double) {
    type("txtDurationID", "7fff");
    type("txtAddress1", "0123456789ab");
    returnIn({"txtFrameCntrl", "txtDurationID", "txtSeqCntrl", "txtAddress1", "txtAddress2", "txtAddress3",
              "txtAddress4"},
             "MACheader", "typed addresses");
    click("pbCancel");
  };
  click("pbMACheaderSetup");
}

}  // namespace
}  // namespace dot11b::gui_test

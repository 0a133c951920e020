// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_table.h"

namespace sgsim {

const std::vector<SettingSpec>& settingSpecs() {
  static const std::vector<SettingSpec> specs = {
      {"[:SOURce]:FREQuency[:FIXed]", {ValueKind::Frequency, 100e3, 6e9, {}, {}}, "1000000000"},
      {"[:SOURce]:POWer[:LEVel][:IMMediate][:AMPLitude]", {ValueKind::Level, -140, 25, {}, {}}, "-135"},
      {"[:SOURce]:POWer:ALC[:STATe]", {ValueKind::Boolean, 0, 0, {}, {}}, "1"},
      {"[:SOURce]:RADio:ARB[:STATe]", {ValueKind::Boolean, 0, 0, {}, {}}, "0"},
      {"[:SOURce]:RADio:ARB:WAVeform", {ValueKind::Name, 0, 0, {}, {}}, "\"\""},
      {"[:SOURce]:RADio:ARB:CLOCk:SRATe", {ValueKind::Frequency, 1e3, 100e6, {}, {}}, "100000000"},
      {"[:SOURce]:RADio:ARB:CLOCk:REFerence", {ValueKind::Choice, 0, 0, {"INTernal", "EXTernal"}, {}}, "INT"},
      {"[:SOURce]:RADio:ARB:RFILter", {ValueKind::Filter, 0, 0, {}, {250e3, 2.5e6, 8e6}}, "THR"},
      {"[:SOURce]:RADio:ARB:RSCaling", {ValueKind::Percent, 1, 100, {}, {}}, "70"},
      {"[:SOURce]:RADio:ARB:MARKer:RFBLank", {ValueKind::Boolean, 0, 0, {}, {}}, "0"},
      {"[:SOURce]:RADio:ARB:MARKer:POLarity", {ValueKind::Choice, 0, 0, {"POSitive", "NEGative"}, {}}, "POS"},
      {"[:SOURce]:DM:BBFilter", {ValueKind::Filter, 0, 0, {}, {2.1e6, 40e6}}, "THR"},
      {"[:SOURce]:DM:IQATtenuation:AUTO", {ValueKind::Boolean, 0, 0, {}, {}}, "1"},
      {"[:SOURce]:DM:IQATtenuation", {ValueKind::Decibel, 0, 50, {}, {}}, "2"},
      {":OUTPut[:STATe]", {ValueKind::Boolean, 0, 0, {}, {}}, "0"},
  };
  return specs;
}

}  // namespace sgsim

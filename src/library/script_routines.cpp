// SPDX-License-Identifier: GPL-3.0-or-later
// What a script needs beyond the window's routines, for the calling forms (and so for the Python module):
// the parameter rules of --set, parameter files, the built-in receiver, and instrument addresses.
#include <charconv>
#include <stdexcept>
#include <string>

#include "files/parameter_files.h"
#include "runtime/binding.h"
#include "runtime/export_macros.h"
#include "rx/verify/verification.h"
#include "settings/instrument_uri.h"
#include "settings/parameter_rules.h"
#include "settings/start_values.h"
#include "testbench/frame_capture.h"
#include "testbench/verify_report.h"

namespace dot11b::rt {

namespace {

// A number as the parameter rules read it back exactly: the shortest text of the same double.
std::string exactText(double x) {
  char text[32];
  return {text, std::to_chars(text, text + sizeof text, x).ptr};
}

// (parameters, fields, values): each dotted field (a cell list of texts) set to its value (a number, or a
// text: hexadecimal "0x..." for MAC header contents, the name of dataSourceName) as "--set FIELD=VALUE"
// sets it, then the whole record checked and its lengths derived.
Values setFields(const Values& in, int) {
  const Inputs args(in, "Dot11b_SetFields");
  Value parameters = args.record(0, "parameters");
  const Value& fields = args.at(1, "fields");
  const Value& values = args.at(2, "values");
  if (!fields.isCell() || !values.isCell() || fields.cells().size() != values.cells().size())
    throw std::invalid_argument("Dot11b_SetFields: fields and values must be cell lists of the same length");
  for (std::size_t k = 0; k < fields.cells().size(); ++k) {
    const std::string field = toText(fields.cells()[k], {"Dot11b_SetFields", "fields"});
    const Value& value = values.cells()[k];
    settings::applySetting(parameters, field,
                           value.isText() ? value.toUtf8() : exactText(toScalar(value, {"Dot11b_SetFields", field})));
  }
  settings::validateParameters(parameters);
  settings::deriveParameters(parameters);
  return {std::move(parameters)};
}

// (filename): the parameters of a parameter file, checked as File Open checks them.
Values loadParameters(const Values& in, int) {
  const Inputs args(in, "Dot11b_LoadParameters");
  return {files::loadParameterFile(args.text(0, "filename"))};
}

// (filename, parameters): a parameter file as File Save writes it, after the record is checked.
Values saveParameters(const Values& in, int) {
  const Inputs args(in, "Dot11b_SaveParameters");
  Value parameters = args.record(1, "parameters");
  settings::validateParameters(parameters);
  settings::deriveParameters(parameters);
  files::saveParameterFile(files::addFileExtention(args.text(0, "filename"), ".mat"), parameters);
  return {};
}

// (waveform, sampleRate [, carrierHz]): what the built-in receiver finds, as the JSON text of
// dot11b verify --json.
Values verify(const Values& in, int) {
  const Inputs args(in, "Dot11b_Verify");
  const ComplexRow samples = args.complexVector(0, "waveform");
  const double rate = args.scalar(1, "sampleRate");
  const std::optional<double> carrier =
      args.given(2) && !args.at(2, "carrierHz").isEmpty() ? std::optional(args.scalar(2, "carrierHz")) : std::nullopt;
  return {Value::text(testbench::verificationJson(rx::verifyCapture(samples, rate, carrier)))};
}

// (waveform, sampleRate, carrierHz, filename): the same, each frame found also written to the pcapng file
// (link type 127, radiotap) that Wireshark opens.
Values verifyPcap(const Values& in, int) {
  const Inputs args(in, "Dot11b_VerifyPcap");
  const ComplexRow samples = args.complexVector(0, "waveform");
  const double rate = args.scalar(1, "sampleRate");
  const std::optional<double> carrier =
      !args.at(2, "carrierHz").isEmpty() ? std::optional(args.scalar(2, "carrierHz")) : std::nullopt;
  const rx::Verification verification = rx::verifyCapture(samples, rate, carrier);
  testbench::FrameCaptureSettings settings;
  settings.frequencyHz = carrier;
  testbench::savePcapng(args.text(3, "filename"), verification, settings);
  return {Value::text(testbench::verificationJson(verification))};
}

// (uri): the connection record of an instrument address such as "tcpip:127.0.0.1:5025".
Values instrumentConfiguration(const Values& in, int) {
  const Inputs args(in, "Dot11b_InstrumentConfiguration");
  return {settings::configurationFromUri(args.text(0, "uri"))};
}

void registerScriptRoutines(Registry& reg) {
  reg.add({"Dot11b_SetFields", "dot11b_SetFields", 1, 3, 1, setFields});
  reg.add({"Dot11b_LoadParameters", "dot11b_LoadParameters", 1, 1, 1, loadParameters});
  reg.add({"Dot11b_SaveParameters", "dot11b_SaveParameters", 1, 2, 0, saveParameters});
  reg.add({"Dot11b_Verify", "dot11b_Verify", 1, 3, 1, verify});
  reg.add({"Dot11b_VerifyPcap", "dot11b_VerifyPcap", 1, 4, 1, verifyPcap});
  reg.add({"Dot11b_InstrumentConfiguration", "dot11b_InstrumentConfiguration", 1, 1, 1, instrumentConfiguration});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerScriptRoutines)

}  // namespace dot11b::rt

DOT11B_EXPORT_1(Dot11b_SetFields, 3)
DOT11B_EXPORT_1(Dot11b_LoadParameters, 1)
DOT11B_EXPORT_0(Dot11b_SaveParameters, 2)
DOT11B_EXPORT_1(Dot11b_Verify, 3)
DOT11B_EXPORT_1(Dot11b_VerifyPcap, 4)
DOT11B_EXPORT_1(Dot11b_InstrumentConfiguration, 1)

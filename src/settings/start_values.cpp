// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/start_values.h"

#include "phy/size_estimate.h"
#include "settings/documentation.h"

namespace dot11b::settings {

using rt::Value;

namespace {

Value num(double x) { return Value::scalar(x); }

double fieldNumber(const Value& record, std::string_view name) { return record.field(name).scalarValue(); }

Value macFieldRecord(const mac::MacField& field) {
  Value r = Value::record();
  r.setField("Contents", num(static_cast<double>(field.contents)));
  r.setField("Size", num(static_cast<double>(field.size)));
  r.setField("Active", num(field.active ? 1 : 0));
  return r;
}

}  // namespace

Value macHeaderRecord(const mac::MacHeader& header) {
  Value r = Value::record();
  r.setField("BitStream", Value::row(std::vector<double>(header.bitStream.begin(), header.bitStream.end())));
  for (int id = 0; id < mac::MacFieldCount; ++id) {
    const auto fieldId = static_cast<mac::MacFieldId>(id);
    r.setField(mac::macFieldName(fieldId), macFieldRecord(header.fields[id]));
  }
  return r;
}

mac::MacHeader macHeaderFromRecord(const Value& record) {
  mac::MacHeader header;
  for (double b : record.field("BitStream").real()) header.bitStream.push_back(b != 0);
  for (int id = 0; id < mac::MacFieldCount; ++id) {
    const Value& f = record.field(mac::macFieldName(static_cast<mac::MacFieldId>(id)));
    header.fields[id].contents = static_cast<std::uint64_t>(fieldNumber(f, "Contents"));
    header.fields[id].size = static_cast<std::size_t>(fieldNumber(f, "Size"));
    header.fields[id].active = fieldNumber(f, "Active") != 0;
  }
  return header;
}

Value initialParameters() {
  Value p = Value::record();
  p.setField("ParameterFileFormat_ID", Value::text("dot11b - Format 1.0"));
  p.setField("generationMode", num(1));
  p.setField("dataRate", num(11));
  p.setField("highRateMod", num(0));
  p.setField("preambleType", num(0));
  p.setField("clkLocked", num(0));
  p.setField("scramblerActive", num(1));
  p.setField("encoderActive", num(1));
  p.setField("Channel", num(1));
  p.setField("MirrorSpectrum", num(0));

  Value macHeader = Value::record();
  macHeader.setField("Active", num(0));
  macHeader.setField("Length", num(30));
  macHeader.setField("Contents", macHeaderRecord(mac::defaultMacHeader()));
  p.setField("MACheader", std::move(macHeader));

  Value fcs = Value::record();
  fcs.setField("Active", num(0));
  fcs.setField("Length", num(4));
  fcs.setField("Contents", Value());
  p.setField("MACfcs", std::move(fcs));

  p.setField("dataSourceType", num(1));
  p.setField("dataLength", num(1024));
  p.setField("dataSourceName", Value());
  p.setField("totalLength", num(1024));
  const double overSampling = 4;
  p.setField("OverSampling", num(overSampling));
  p.setField("rampType", num(1));
  p.setField("rampLength", num(2 * (11 * overSampling)));
  p.setField("idleSamples", num(100 * (11 * overSampling)));
  p.setField("FilterType", num(1));
  p.setField("FilterFactor", num(0.5));
  p.setField("FilterTaps", num(6));
  p.setField("ProjectedLength", num(projectedLength(p)));
  return p;
}

Value initialSigGenSettings(double overSampling) {
  Value s = Value::record();
  s.setField("Title", Value::text("dot11b"));
  s.setField("Frequency", num(2412000000.0));
  s.setField("Amplitude", num(-30));
  s.setField("SamplingRate", num(11000000.0 * overSampling));
  s.setField("BBfilter", num(2));
  s.setField("Scaling", num(95));
  s.setField("ModAtten", num(0));
  s.setField("RFblanking", num(1));
  s.setField("ALC", num(1));
  s.setField("ArbRefSource", num(0));
  s.setField("MarkerPolarity", num(0));
  return s;
}

Value initialConfiguration() {
  Value c = Value::record();
  c.setField("type", Value::text("GPIB"));
  Value gpib = Value::record();
  gpib.setField("board", num(0));
  gpib.setField("primary", num(19));
  gpib.setField("secondary", num(-1));
  c.setField("GPIB", std::move(gpib));
  Value rs232 = Value::record();
  rs232.setField("port", num(1));
  rs232.setField("baudrate", num(9600));
  rs232.setField("handshake", Value::text("Xon/Xoff"));
  c.setField("RS232", std::move(rs232));
  Value tcpip = Value::record();
  tcpip.setField("address", Value::text("0.0.0.0"));
  tcpip.setField("board", num(0));
  c.setField("TCPIP", std::move(tcpip));
  c.setField("BBGtype", Value::text("002"));
  c.setField("LastParameterFilename", Value());
  return c;
}

Value initialAppInfo() {
  Value a = Value::record();
  a.setField("Name", Value::text("IEEE 802.11b-1999 (DSSS)"));
  a.setField("Platform", Value::text("c"));
  a.setField("Rev", Value::text("A.02.01.002"));
  a.setField("Date", Value::text("03-Dec-2001"));
  a.setField("CopyrightMsg", Value::text("Copyright (c) the dot11b-wavegen developers. Free software."));
  a.setField("Notes", Value::text("Release Notes:"));
  a.setField("NotesLine2", Value::text("802.11b Signal Generation Applet for"));
  a.setField("NotesLine3", Value::text("Vantrel Q6200T series RF Signal Generators."));
  a.setField("NotesLine4", Value::text("This applet supports all modulation formats of"));
  a.setField("NotesLine5", Value::text("the IEEE 802.11b-1999 (DSSS) W-LAN standard."));
  a.setField("NotesLine7", Value::text("Website: " + readmeAddress()));
  a.setField("ApplicationFunction", Value::text("dot11b_GUI_c"));
  a.setField("ParameterFileExtension", Value::text(".mat"));
  a.setField("ClientWindows", Value());
  a.setField("LastCaluclatedParameterSet", Value());
  a.setField("LastCalcTimeStamp", Value());
  return a;
}

double totalLength(const Value& p) {
  const Value& header = p.field("MACheader");
  const Value& fcs = p.field("MACfcs");
  return fieldNumber(p, "dataLength") + fieldNumber(header, "Active") * fieldNumber(header, "Length") +
         fieldNumber(fcs, "Active") * fieldNumber(fcs, "Length");
}

double projectedLength(const Value& p) {
  phy::SizeEstimateInput in;
  in.generationMode = fieldNumber(p, "generationMode");
  in.numberOfDataBits = totalLength(p) * 8;
  in.dataRate = fieldNumber(p, "dataRate");
  in.highSpeedMod = fieldNumber(p, "highRateMod");
  in.encoderActive = fieldNumber(p, "encoderActive");
  in.preambleType = fieldNumber(p, "preambleType");
  in.idleSamples = fieldNumber(p, "idleSamples");
  in.rampType = fieldNumber(p, "rampType");
  in.rampLength = fieldNumber(p, "rampLength");
  in.overSampling = fieldNumber(p, "OverSampling");
  return phy::sizeEstimate(in);
}

}  // namespace dot11b::settings

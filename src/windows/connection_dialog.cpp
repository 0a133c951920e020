// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/connection_dialog.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <exception>
#include <stdexcept>

#include "runtime/binding.h"
#include "runtime/library.h"
#include "runtime/number_text.h"
#include "toolkit/controls.h"
#include "toolkit/figures.h"
#include "windows/connection_dialog_radio.h"
#include "windows/window_module.h"

namespace dot11b::windows::connection_dialog {

namespace {

using rt::Value;
using rt::Values;

constexpr std::string_view kFigureTag = "figureVisaAddress";
const std::string kCrLf = "\r\n";

// The connection groups: layout name and the type whose group it is.
struct Group {
  const char* layout;
  const char* type;
  const char* listField;  // where the control record keeps the group's controls
};
constexpr Group kGroups[] = {{"configTCPIP", "TCPIP", "TCPIPcontrols"},
                             {"configGPIB", "GPIB", "GPIBcontrols"},
                             {"configRS232", "RS232", "RS232controls"},
                             {"configSOAPY", settings::kRadioType, "SOAPYcontrols"}};

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool sameText(const std::string& a, const std::string& b) { return lower(a) == lower(b); }

double numberField(const Value& handles, std::string_view name, double otherwise) {
  const Value* v = handles.isRecord() ? handles.findField(name) : nullptr;
  return v != nullptr && v->isNumeric() && !v->isEmpty() ? v->re(0) : otherwise;
}

toolkit::Handle figureOf(const Value& handles) { return toolkit::handleIn(handles, kFigureTag); }

void storeRecord(const Value& handles) { toolkit::current().setAppData(figureOf(handles), handles); }

// The handles record as stored on the figure (callbacks may hold an older copy).
Value storedRecord(const Value& handles) { return toolkit::current().appData(figureOf(handles)); }

// Every model's list ends with the radio, which any platform can use.
std::vector<std::string> connectionList(double model) {
  if (model == 1) return {"RS232", "GPIB", kRadioEntry};
  if (model == 2) return {"GPIB", "TCP/IP", kRadioEntry};
  return {"RS232", "GPIB", "TCP/IP", kRadioEntry};
}

std::string typeForModel(std::string type, double model) {
  if (model == 1 && sameText(type, "TCPIP")) return "GPIB";
  if (model == 2 && sameText(type, "RS232")) return "GPIB";
  return type;
}

const Value& sub(const Value& record, std::string_view group) { return record.field(group); }
double subNumber(const Value& record, std::string_view group, std::string_view name) {
  return sub(record, group).field(name).scalarValue();
}
std::string subText(const Value& record, std::string_view group, std::string_view name) {
  const Value& v = sub(record, group).field(name);
  if (!v.isText()) throw std::invalid_argument(std::string(group) + "." + std::string(name) + " must be text");
  return v.toUtf8();
}
void setSub(Value& record, std::string_view group, std::string_view name, Value v) {
  Value* g = record.findField(group);
  Value groupRecord = g != nullptr && g->isRecord() ? *g : Value::record();
  groupRecord.setField(name, std::move(v));
  record.setField(group, std::move(groupRecord));
}

// The baud-rate list's rates as numbers.
std::vector<double> listedRates(const Value& handles) {
  std::vector<double> rates;
  for (const std::string& item : toolkit::Control(toolkit::handleIn(handles, "pmBaudRate")).items()) {
    if (const auto r = rt::parseReal(item)) rates.push_back(*r);
  }
  return rates;
}

// A stored number rounded to a whole entry of its list (halves away from zero) and kept inside its range
// (upper limit first); a missing or unusable one takes its start value, so that a damaged or hand-edited
// record still opens.
void limit(Value& record, std::string_view group, std::string_view name, double lo, double hi, double start) {
  const Value* g = record.findField(group);
  const Value* v = g != nullptr && g->isRecord() ? g->findField(name) : nullptr;
  double x = v != nullptr && v->isNumeric() && !v->isEmpty() && !v->isComplex() ? v->re(0) : start;
  if (std::isnan(x)) x = start;
  setSub(record, group, name, Value::scalar(std::max(std::min(std::round(x), hi), lo)));
}

// A stored rate as the nearest rate of the list.
void nearestListed(Value& record, const std::vector<double>& rates) {
  if (rates.empty()) return;
  const double x = subNumber(record, "RS232", "baudrate");
  setSub(record, "RS232", "baudrate",
         Value::scalar(*std::min_element(rates.begin(), rates.end(),
                                         [x](double a, double b) { return std::fabs(a - x) < std::fabs(b - x); })));
}

void keepText(Value& record, std::string_view group, std::string_view name, std::string_view start) {
  const Value* g = record.findField(group);
  const Value* v = g != nullptr && g->isRecord() ? g->findField(name) : nullptr;
  if (v == nullptr || !v->isText()) setSub(record, group, name, Value::text(start));
}

Value limitedRecord(Value record, const Value& handles) {
  const Value* type = record.findField("type");
  if (type == nullptr || !type->isText()) record.setField("type", Value::text("GPIB"));
  limit(record, "GPIB", "board", 0, 15, 0);
  limit(record, "GPIB", "primary", 0, 30, 19);
  limit(record, "GPIB", "secondary", -1, 31, -1);
  limit(record, "RS232", "port", 1, 9, 1);
  // Limited by the smallest and largest rate of the list, so that every listed rate survives reopening.
  const std::vector<double> rates = listedRates(handles);
  const double lowest = rates.empty() ? 9600 : *std::min_element(rates.begin(), rates.end());
  const double highest = rates.empty() ? 9600 : *std::max_element(rates.begin(), rates.end());
  limit(record, "RS232", "baudrate", lowest, highest, 9600);
  nearestListed(record, rates);
  keepText(record, "RS232", "handshake", "Xon/Xoff");
  keepText(record, "TCPIP", "address", "0.0.0.0");
  setSub(record, "TCPIP", "board", Value::scalar(0));
  return record;
}

void updateHandShakeToolTip(const Value& handles) {
  const double entry = toolkit::Control(toolkit::handleIn(handles, "pmHandShake")).value();
  const std::string receive = entry == 2 ? "  Receive Pace  = Xon" : "  Receive Pace  = None";
  const std::string rtsCts = entry == 3 ? "  RTS/CTS       = RTS/CTS Pacing" : "  RTS/CTS       = Off";
  const std::string tip =
      "Set the following Instrument Parameters" + kCrLf + "  Transmit Pace = None" + kCrLf + receive + kCrLf + rtsCts;
  toolkit::Control(toolkit::handleIn(handles, "pmHandShake")).setToolTip(tip);
  toolkit::Control(toolkit::handleIn(handles, "lblHandShake")).setToolTip(tip);
}

void setVisible(const Value& handles, const char* listField, bool on) {
  const Value* list = handles.findField(listField);
  if (list == nullptr) return;
  for (double h : list->real()) toolkit::Control(h).setVisible(on);
}

void pmConnectionCallback(toolkit::Handle h, const Value& callbackHandles) {
  Value handles = storedRecord(callbackHandles);
  const double model = numberField(handles, "Model", 0);
  double selected = toolkit::Control(h).value();
  const bool radio = convertIndexToString(h, selected) == settings::kRadioType;
  if ((model == 1 || model == 2) && selected == 3 && !radio) {
    selected = numberField(handles, "handlesLastConnection", 2);
    if (selected == 3) selected = model == 1 ? 2 : 1;
    toolkit::Control(h).setValue(selected);
  }
  handles.setField("handlesLastConnection", Value::scalar(selected));
  storeRecord(handles);
  showControls(handles);
}

void pmHandShakeCallback(toolkit::Handle, const Value& handles) { updateHandShakeToolTip(handles); }

void noEffect(toolkit::Handle, const Value&) {}

void answer(const Value& callbackHandles, std::string_view text) {
  Value handles = storedRecord(callbackHandles);
  handles.setField("answer", Value::text(text));
  storeRecord(handles);
  toolkit::current().resume(figureOf(handles));
}

void pbOK(toolkit::Handle, const Value& handles) { answer(handles, "OK"); }
void pbCancel(toolkit::Handle, const Value& handles) { answer(handles, "Cancel"); }

void pbCheckHardware(toolkit::Handle, const Value& handles) {
  const toolkit::BusyPointer busy(figureOf(handles));
  const toolkit::Control status(toolkit::handleIn(handles, "lblStatus"));
  const Value record = updateConfig(handles);
  status.setText("... Checking ...");
  std::string description;
  try {
    const Values out = rt::callByName("VerifyComm", {record}, 2);
    description = out.size() > 1 && out[1].isText() ? out[1].toUtf8() : std::string();
  } catch (const std::exception& e) {
    description = e.what();
  }
  status.setText(description);
}

toolkit::Handle openDialog() {
  // One dialog at a time: an instance still open is used again.
  static toolkit::Handle open = toolkit::kScreen;
  if (open != toolkit::kScreen && toolkit::current().isValid(open)) return open;
  open = toolkit::current().openFigure("VX_SigGen");
  return open;
}


Values initConfigRoutine(const Values& in, int) { return {initConfig(in.empty() ? Value() : in[0])}; }

Values reStructureConfigRoutine(const Values& in, int) {
  return {reStructureConfig(rt::input(in, 0, {"VX_SigGen/reStructureConfig", "old"}), recordInput(in, 1))};
}

Values convertStringToIndexRoutine(const Values& in, int) {
  const Value& text = rt::input(in, 1, {"VX_SigGen/ConvertStringToIndex", "text"});
  return {Value::scalar(convertStringToIndex(handleInput(in, 0), text.toUtf8()))};
}

Values convertIndexToStringRoutine(const Values& in, int) {
  const Value& index = rt::input(in, 1, {"VX_SigGen/ConvertIndexToString", "index"});
  return {Value::text(convertIndexToString(handleInput(in, 0), index.isEmpty() ? 0 : index.re(0)))};
}

Values updateConnectionSelectionsRoutine(const Values& in, int) {
  const Value& handles = recordInput(in, 0);
  Value record = recordInput(in, 1);
  const double model = numberField(handles, "Model", 0);
  toolkit::Control(toolkit::handleIn(handles, "pmConnection")).setItems(connectionList(model));
  record.setField("type", Value::text(typeForModel(record.field("type").toUtf8(), model)));
  return {record};
}

Values updateGuiObjectsRoutine(const Values& in, int) {
  updateGuiObjects(recordInput(in, 0), recordInput(in, 1));
  return {};
}

Values updateConfigRoutine(const Values& in, int) { return {updateConfig(recordInput(in, 0))}; }

Values nothing(const Values&, int) { return {}; }

Values addControlsRoutine(const Values& in, int) {
  const Value& layout = rt::input(in, 1, {"VX_SigGen/addControls", "layout"});
  const std::vector<toolkit::Handle> controls = toolkit::current().addControls(handleInput(in, 0), layout.toUtf8());
  return {Value::row(std::vector<double>(controls.begin(), controls.end()))};
}

}  // namespace

Value initConfig(Value record) {
  if (!record.isRecord()) record = Value::record();
  record.setField("type", Value::text("GPIB"));
  setSub(record, "GPIB", "board", Value::scalar(0));
  setSub(record, "GPIB", "primary", Value::scalar(19));
  setSub(record, "GPIB", "secondary", Value::scalar(-1));
  setSub(record, "RS232", "port", Value::scalar(1));
  setSub(record, "RS232", "baudrate", Value::scalar(9600));
  setSub(record, "RS232", "handshake", Value::text("Xon/Xoff"));
  setSub(record, "TCPIP", "address", Value::text("0.0.0.0"));
  setSub(record, "TCPIP", "board", Value::scalar(0));
  return record;
}

Value reStructureConfig(Value old, const Value& handles) {
  if (!old.isRecord() || !old.hasField("Connection")) return old;
  const auto number = [&old](std::string_view name) { return old.field(name); };
  const double connection = old.field("Connection").isEmpty() ? 0 : old.field("Connection").re(0);
  Value record = Value::record();
  for (const auto& [name, value] : old.fields()) {
    static const char* const kOld[] = {"Connection", "GPIBboard", "Primary", "Secondary",
                                       "RS232Port",  "BaudRate",  "HandShake"};
    if (std::find(std::begin(kOld), std::end(kOld), name) == std::end(kOld)) record.setField(name, value);
  }
  record.setField("type", Value::text(connection == 1 ? "RS232" : "GPIB"));
  setSub(record, "GPIB", "board", number("GPIBboard"));
  setSub(record, "GPIB", "primary", number("Primary"));
  setSub(record, "GPIB", "secondary", number("Secondary"));
  setSub(record, "RS232", "port", number("RS232Port"));
  setSub(record, "RS232", "baudrate", number("BaudRate"));
  std::string handshake = "Xon/Xoff";
  if (handles.isRecord() && handles.hasField("pmHandShake")) {
    const std::vector<std::string> list = toolkit::Control(toolkit::handleIn(handles, "pmHandShake")).items();
    const double index = old.field("HandShake").scalarValue() + 1;
    if (index >= 1 && index <= static_cast<double>(list.size()) && index == std::floor(index)) {
      handshake = list[static_cast<std::size_t>(index) - 1];
    }
  }
  setSub(record, "RS232", "handshake", Value::text(handshake));
  setSub(record, "TCPIP", "address", Value::text("0.0.0.0"));
  setSub(record, "TCPIP", "board", Value::scalar(0));
  return record;
}

int convertStringToIndex(toolkit::Handle list, const std::string& text) {
  const std::string wanted = sameText(text, "TCPIP")                 ? std::string("TCP/IP")
                             : sameText(text, settings::kRadioType) ? std::string(kRadioEntry)
                                                                    : text;
  const std::vector<std::string> items = toolkit::Control(list).items();
  for (std::size_t i = 0; i < items.size(); ++i)
    if (sameText(items[i], wanted)) return static_cast<int>(i) + 1;
  return 1;
}

std::string convertIndexToString(toolkit::Handle list, double index) {
  const std::vector<std::string> items = toolkit::Control(list).items();
  if (items.empty()) return "";
  const std::string& entry = index < 1 || index > static_cast<double>(items.size())
                                 ? items.front()
                                 : items[static_cast<std::size_t>(index) - 1];
  if (entry == kRadioEntry) return settings::kRadioType;
  return sameText(entry, "TCP/IP") ? "TCPIP" : entry;
}

void updateGuiObjects(const Value& callbackHandles, const Value& input) {
  Value handles = storedRecord(callbackHandles);
  try {
    const double model = numberField(handles, "Model", 0);
    Value record = input;
    record.setField("type", Value::text(typeForModel(record.field("type").toUtf8(), model)));
    record = updateConnectionSelectionsRoutine({handles, record}, 1).front();
    const toolkit::Window dialog(handles);
    dialog["pmConnection"].setValue(
        convertStringToIndex(dialog["pmConnection"].handle(), record.field("type").toUtf8()));
    dialog["pmGpibBoard"].setValue(subNumber(record, "GPIB", "board") + 1);
    dialog["pmPrimaryAddress"].setValue(subNumber(record, "GPIB", "primary") + 1);
    dialog["pmSecondaryAddress"].setValue(subNumber(record, "GPIB", "secondary") + 2);
    dialog["pmPortNumber"].setValue(subNumber(record, "RS232", "port"));
    dialog["pmBaudRate"].setValue(
        convertStringToIndex(dialog["pmBaudRate"].handle(), rt::numberToText(subNumber(record, "RS232", "baudrate"))));
    dialog["pmHandShake"].setValue(
        convertStringToIndex(dialog["pmHandShake"].handle(), subText(record, "RS232", "handshake")));
    dialog["editTCPIPAddress"].setText(subText(record, "TCPIP", "address"));
    showRadio(dialog, record);
    handles.setField("handlesLastConnection", Value::scalar(dialog["pmConnection"].value()));
    storeRecord(handles);
  } catch (const std::exception& e) {
    toolkit::Control(toolkit::handleIn(handles, "lblStatus")).setText(e.what());
  }
}

Value updateConfig(const Value& handles) {
  const toolkit::Window dialog(handles);
  Value record = Value::record();
  record.setField("type",
                  Value::text(convertIndexToString(dialog["pmConnection"].handle(), dialog["pmConnection"].value())));
  setSub(record, "GPIB", "board", Value::scalar(dialog["pmGpibBoard"].value() - 1));
  setSub(record, "GPIB", "primary", Value::scalar(dialog["pmPrimaryAddress"].value() - 1));
  setSub(record, "GPIB", "secondary", Value::scalar(dialog["pmSecondaryAddress"].value() - 2));
  setSub(record, "RS232", "port", Value::scalar(dialog["pmPortNumber"].value()));
  const std::string rate = convertIndexToString(dialog["pmBaudRate"].handle(), dialog["pmBaudRate"].value());
  setSub(record, "RS232", "baudrate", Value::scalar(rt::parseReal(rate).value_or(9600)));
  setSub(record, "RS232", "handshake",
         Value::text(convertIndexToString(dialog["pmHandShake"].handle(), dialog["pmHandShake"].value())));
  setSub(record, "TCPIP", "address", Value::text(dialog["editTCPIPAddress"].text()));
  setSub(record, "TCPIP", "board", Value::scalar(0));
  const settings::RadioConnection radio = radioInDialog(dialog, {});
  setSub(record, settings::kRadioType, "args", Value::text(radio.args));
  setSub(record, settings::kRadioType, "antenna", Value::text(radio.antenna));
  setSub(record, settings::kRadioType, "channel", Value::scalar(radio.channel));
  setSub(record, settings::kRadioType, "offset", Value::scalar(radio.offset));
  return record;
}

void showControls(const Value& handles) {
  const toolkit::Control connection(toolkit::handleIn(handles, "pmConnection"));
  const std::string type = convertIndexToString(connection.handle(), connection.value());
  for (const Group& g : kGroups)
    if (type != g.type) setVisible(handles, g.listField, false);
  for (const Group& g : kGroups)
    if (type == g.type) setVisible(handles, g.listField, true);
}

Values run(const Values& in, int) {
  const toolkit::Handle figure = openDialog();
  Value lists = Value::record();
  for (const Group& g : kGroups) {
    const std::vector<toolkit::Handle> controls = toolkit::current().addControls(figure, g.layout);
    lists.setField(g.listField, Value::row(std::vector<double>(controls.begin(), controls.end())));
  }
  Value handles = toolkit::current().controlRecord(figure);
  for (const auto& [name, list] : lists.fields()) handles.setField(name, list);
  handles.setField("handlesLastConnection", Value::scalar(2));
  handles.setField("Model", Value::scalar(0));
  Values inputs = in;
  if (inputs.size() >= 3 && inputs[2].isText()) {
    const std::string platform = lower(inputs[2].toUtf8());
    if (platform == "b" || platform == "c") {
      handles.setField("Model", Value::scalar(platform == "b" ? 1 : 2));
      inputs[2] = Value();
    }
  }
  toolkit::current().setAppData(figure, handles);

  if (!inputs.empty() && inputs[0].isNumeric() && !inputs[0].isEmpty() && inputs[0].re(0) != toolkit::kScreen) {
    try {
      toolkit::positionChildWindow(figure, inputs[0].re(0));
    } catch (const std::exception&) {
      // Placing the dialog is a convenience: a parent that cannot be read leaves it where it is.
    }
  } else {
    toolkit::positionChildWindow(figure, toolkit::kScreen);
  }
  Value record = inputs.size() >= 2 && inputs[1].isRecord()
                     ? limitedRecord(reStructureConfig(inputs[1], handles), handles)
                     : initConfig(Value());
  if (inputs.size() >= 3 && inputs[2].isText()) {
    toolkit::current().set(figure, "Name", Value::text(inputs[2].toUtf8() + " IO Connection"));
  }
  try {
    rt::callByName("ResizeAllFonts", {Value::scalar(figure)}, 0);
  } catch (const std::exception&) {
    // Fonts keep their size when they cannot be resized.
  }
  const toolkit::Window dialog(handles);
  dialog["pmBaudRate"].setToolTip("Select the communication baud rate." + kCrLf +
                                  "NOTE: This must agree with the instrument.");
  dialog["pmPrimaryAddress"].setToolTip("Select the primary address of your source." + kCrLf +
                                        "The default factory setting is 19.");
  updateGuiObjects(handles, record);
  updateHandShakeToolTip(handles);
  showControls(handles);
  toolkit::current().show(figure);
  toolkit::current().waitFor(figure);

  std::string response = "Cancel";
  if (toolkit::current().isValid(figure)) {
    const Value stored = toolkit::current().appData(figure);
    const Value* a = stored.findField("answer");
    if (a != nullptr && a->isText()) response = a->toUtf8();
    if (response == "OK") {
      const Value edited = updateConfig(stored);
      const bool hadRadio = record.hasField(settings::kRadioType);
      record.setField("type", edited.field("type"));
      for (const char* group : {"GPIB", "RS232", "TCPIP"}) {
        for (const auto& [name, value] : edited.field(group).fields()) setSub(record, group, name, value);
      }
      // An instrument-only record stays one: the radio's fields join it once the radio is chosen.
      if (hadRadio || settings::isRadioConnection(record))
        record = withRadioFields(record, settings::radioConnection(edited));
    }
    toolkit::current().close(figure);
  }
  return {Value::text(response), record};
}

const rt::WindowModule& module() {
  static const rt::WindowModule m = [] {
    rt::WindowModule w("VX_SigGen");
    w.add("initConfig", 200, 1, 1, initConfigRoutine);
    w.add("reStructureConfig", 222, 2, 1, reStructureConfigRoutine);
    w.add("ConvertStringToIndex", 262, 2, 1, convertStringToIndexRoutine);
    w.add("ConvertIndexToString", 280, 2, 1, convertIndexToStringRoutine);
    w.add("UpdateConnectionSelections", 296, 2, 1, updateConnectionSelectionsRoutine);
    w.add("UpdateGuiObjects", 318, 2, 0, updateGuiObjectsRoutine);
    w.add("UpdateConfig", 352, 1, 1, updateConfigRoutine);
    w.add("UpdateRS232HandShakingToolTip", 373, 1, 0, handlesRoutine(updateHandShakeToolTip));
    w.add("showControls", 395, 1, 0, handlesRoutine(showControls));
    w.add("EnableGuiObjects", 420, 1, 0, handlesRoutine(showControls));
    w.add("addControls", 428, 2, 1, addControlsRoutine);
    w.add("UpdateIoAddress", 455, 1, 0, nothing);
    addCallbacks(w,
                 {
                  {"pmConnection_Callback", pmConnectionCallback},
                  {"pmGpibBoard_Callback", noEffect},
                  {"pmPrimaryAddress_Callback", noEffect},
                  {"pmSecondaryAddress_Callback", noEffect},
                  {"pmPortNumber_Callback", noEffect},
                  {"pmBaudRate_Callback", noEffect},
                  {"pmHandShake_Callback", pmHandShakeCallback},
                  {"editTCPIPAddress_Callback", noEffect},
                  {"pbOK_Callback", pbOK},
                  {"pbCancel_Callback", pbCancel},
                  {"pbCheckHardware_Callback", pbCheckHardware},
                  {"pbFindRadios_Callback", pbFindRadios},
                  {"pmRadios_Callback", pmRadios},
                  {"editRadioArgs_Callback", noEffect},
                  {"editRadioAntenna_Callback", noEffect},
                  {"editRadioChannel_Callback", noEffect},
                  {"editRadioOffset_Callback", noEffect},
                 },
                 470, 12);
    return w;
  }();
  return m;
}

}  // namespace dot11b::windows::connection_dialog

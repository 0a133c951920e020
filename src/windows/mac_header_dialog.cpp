// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/mac_header_dialog.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "mac/bit_conversions.h"
#include "mac/mac_header.h"
#include "runtime/binding.h"
#include "runtime/library.h"
#include "settings/start_values.h"
#include "toolkit/controls.h"
#include "windows/window_module.h"

namespace dot11b::windows::mac_header_dialog {

namespace {

using rt::Value;
using rt::Values;

constexpr std::string_view kFigureTag = "figMACconfig";

struct FieldText {
  std::string_view name;
  std::string_view title;
};

// In the order of the bit stream, which is also the order the dialog redraws them.
constexpr FieldText kFields[] = {
    {"FrameCntrl", "Frame Control Field."}, {"DurationID", "Duration/ID Field."},
    {"Address1", "Address 1 Field."},       {"Address2", "Address 2 Field."},
    {"Address3", "Address 3 Field."},       {"SeqCntrl", "Sequence Control Field."},
    {"Address4", "Address 4 Field."},
};

Value& header() { return rt::global("MACheader"); }

double number(const Value& field, std::string_view name) { return field.field(name).scalarValue(); }

void redrawField(std::string_view name, const Value& handles) {
  const toolkit::Window dialog(handles);
  const Value& field = header().field(name);
  const bool active = number(field, "Active") == 1;
  const std::string tag(name);
  dialog["chk" + tag].setValue(active ? 1 : 0);
  dialog["txt" + tag].setEnabled(active);
  dialog["txt" + tag].setText(mac::hexString(static_cast<std::uint64_t>(number(field, "Contents")),
                                             static_cast<std::size_t>(number(field, "Size"))));
}

// 8 x Size bits of an active field, least significant first; none for an inactive one.
std::vector<double> recalcBitField(std::string_view name) {
  const Value& field = header().field(name);
  mac::MacField typed;
  typed.contents = static_cast<std::uint64_t>(number(field, "Contents"));
  typed.size = static_cast<std::size_t>(number(field, "Size"));
  typed.active = number(field, "Active") == 1;
  const Bits bits = mac::recalcBitField(typed);
  return {bits.begin(), bits.end()};
}

void recalcBitStream() {
  std::vector<double> bits;
  for (const FieldText& f : kFields) {
    const std::vector<double> fieldBits = recalcBitField(f.name);
    bits.insert(bits.end(), fieldBits.begin(), fieldBits.end());
  }
  header().setField("BitStream", Value::row(std::move(bits)));
}

void answer(const Value& handles, std::string_view text) {
  answerDialog(toolkit::handleIn(handles, kFigureTag), text);
}

void pbOK(toolkit::Handle, const Value& handles) { answer(handles, "OK"); }
void pbCancel(toolkit::Handle, const Value& handles) { answer(handles, "Cancel"); }


Values defaultMACheader(const Values&, int) { return {settings::macHeaderRecord(mac::defaultMacHeader())}; }

Values recalcBitStreamRoutine(const Values&, int) {
  recalcBitStream();
  return {};
}

Values recalcBitFieldRoutine(const Values& in, int) {
  const Value& id = rt::input(in, 0, {"dot11_MACconfig/recalcBitField", "fieldId"});
  return {Value::row(recalcBitField(id.toUtf8()))};
}

Values redrawFieldRoutine(const Values& in, int) {
  const Value& id = rt::input(in, 0, {"dot11_MACconfig/redrawField", "fieldId"});
  redrawField(id.toUtf8(), recordInput(in, 1));
  return {};
}

}  // namespace

std::optional<double> hexValue(std::string_view text, double limit) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return std::nullopt;
  text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
  double value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return std::nullopt;
    // Values beyond the limit are clamped: stop growing once it is passed, so that a long text stays exact.
    value = std::min(value * 16 + digit, limit + 1);
  }
  return std::min(value, limit);
}

void initializeFigure(const Value& handles) {
  const toolkit::Window dialog(handles);
  rt::callByName("ResizeAllFonts", {Value::scalar(toolkit::handleIn(handles, kFigureTag))}, 0);
  for (const FieldText& f : kFields) {
    const bool twoOctets = f.name == "FrameCntrl" || f.name == "DurationID" || f.name == "SeqCntrl";
    dialog["txt" + std::string(f.name)].setToolTip(std::string(f.title) + "\n" +
                                                   (twoOctets ? "Length: 2 bytes" : "Length: 6 bytes") +
                                                   "\nHexadecimal representation.");
  }
  dialog["chkFrameCntrl"].setToolTip("Frame Control Field.\nAlways active");
  dialog["chkDurationID"].setToolTip("Duration/ID Field.\nAlways active.");
  dialog["chkSeqCntrl"].setToolTip("Includes/excludes the\nSequence Control Field.");
  for (const char* n : {"1", "2", "3", "4"}) {
    dialog[std::string("chkAddress") + n].setToolTip(std::string("Includes/excludes the\nAddress ") + n + " Field.");
  }
}

void redrawMACfields(const Value& handles) {
  for (const FieldText& f : kFields) redrawField(f.name, handles);
}

void fieldCallback(toolkit::Handle h, const Value& handles) {
  const std::string tag = toolkit::Control(h).tag();
  const std::string type = tag.substr(0, 3);
  const std::string name = tag.size() > 3 ? tag.substr(3) : std::string();
  Value* field = header().findField(name);
  if ((type != "txt" && type != "chk") || field == nullptr || name == "BitStream") {
    throw std::invalid_argument("Field_Callback: '" + tag + "' is not a MAC header control");
  }
  Value edited = *field;
  if (type == "chk") {
    edited.setField("Active", Value::scalar(toolkit::Control(h).value() != 0 ? 1 : 0));
  } else {
    const double limit = std::pow(2.0, 8 * number(edited, "Size")) - 1;
    const auto value = hexValue(toolkit::Control(h).text(), limit);
    if (!value) throw std::invalid_argument("'" + toolkit::Control(h).text() + "' is not a hexadecimal number");
    edited.setField("Contents", Value::scalar(*value));
  }
  *field = edited;
  redrawField(name, handles);
  recalcBitStream();
}

Values run(const Values& in, int) {
  const toolkit::Handle figure = handleInput(in, 0);
  const Value handles = toolkit::current().controlRecord(figure);
  header() = in.size() == 2 ? in[1] : settings::macHeaderRecord(mac::defaultMacHeader());
  redrawMACfields(handles);
  const std::string result = waitForAnswer(figure);
  return {Value::text(result), header()};
}

const rt::WindowModule& module() {
  static const rt::WindowModule m = [] {
    rt::WindowModule w("dot11_MACconfig");
    w.add("defaultMACheader", 70, 0, 1, defaultMACheader);
    w.add("InitializeFigure", 95, 1, 0, handlesRoutine(initializeFigure));
    w.add("redrawMACfields", 131, 1, 0, handlesRoutine(redrawMACfields));
    w.add("redrawField", 142, 2, 0, redrawFieldRoutine);
    w.add("Field_Callback", 156, 3, 0, callbackRoutine(fieldCallback));
    w.add("recalcBitStream", 185, 0, 0, recalcBitStreamRoutine);
    w.add("recalcBitField", 196, 1, 1, recalcBitFieldRoutine);
    w.add("pbOK_Callback", 214, 3, 0, callbackRoutine(pbOK));
    w.add("pbCancel_Callback", 222, 3, 0, callbackRoutine(pbCancel));
    w.add("close_Callback", 230, 3, 0, callbackRoutine(pbCancel));
    return w;
  }();
  return m;
}

}  // namespace dot11b::windows::mac_header_dialog

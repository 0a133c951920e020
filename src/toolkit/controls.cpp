// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/controls.h"

#include <stdexcept>


namespace dot11b::toolkit {

using rt::Value;

Value onOff(bool on) { return Value::text(on ? "on" : "off"); }

bool isOn(const Value& v) { return v.isText() && v.toUtf8() == "on"; }

Value textList(const std::vector<std::string>& texts) {
  Value list = Value::cell(texts.size(), texts.empty() ? 0 : 1);
  for (std::size_t i = 0; i < texts.size(); ++i) list.cells()[i] = Value::text(texts[i]);
  return list;
}

double Control::value() const {
  const Value v = current().get(handle_, "Value");
  return v.isNumeric() && !v.isEmpty() ? v.re(0) : 0.0;
}

void Control::setValue(double v) const { current().set(handle_, "Value", Value::scalar(v)); }

std::string Control::text() const {
  const Value v = current().get(handle_, "String");
  return v.isText() ? v.toUtf8() : std::string();
}

void Control::setText(std::string_view text) const { current().set(handle_, "String", Value::text(text)); }

std::vector<std::string> Control::items() const {
  const Value v = current().get(handle_, "String");
  std::vector<std::string> out;
  if (v.isCell()) {
    for (const Value& c : v.cells()) out.push_back(c.isText() ? c.toUtf8() : std::string());
  } else if (v.isText()) {
    out.push_back(v.toUtf8());
  }
  return out;
}

void Control::setItems(const std::vector<std::string>& items) const {
  current().set(handle_, "String", textList(items));
}

bool Control::enabled() const { return isOn(current().get(handle_, "Enable")); }
void Control::setEnabled(bool on) const { current().set(handle_, "Enable", onOff(on)); }
bool Control::visible() const { return isOn(current().get(handle_, "Visible")); }
void Control::setVisible(bool on) const { current().set(handle_, "Visible", onOff(on)); }
bool Control::checked() const { return isOn(current().get(handle_, "Checked")); }
void Control::setChecked(bool on) const { current().set(handle_, "Checked", onOff(on)); }
void Control::setToolTip(std::string_view text) const { current().set(handle_, "TooltipString", Value::text(text)); }

std::string Control::tag() const {
  const Value v = current().get(handle_, "Tag");
  return v.isText() ? v.toUtf8() : std::string();
}

Handle handleIn(const Value& handles, std::string_view tag) {
  const Value* h = handles.isRecord() ? handles.findField(tag) : nullptr;
  if (h == nullptr || !h->isNumeric() || h->isEmpty()) {
    throw std::runtime_error("the window has no control '" + std::string(tag) + "'");
  }
  return h->re(0);
}

Control Window::operator[](std::string_view tag) const { return Control(handleIn(handles_, tag)); }

bool Window::has(std::string_view tag) const { return handles_.isRecord() && handles_.hasField(tag); }

BusyPointer::BusyPointer(Handle window) : window_(window) {
  if (!installed() || !current().isValid(window_)) return;
  previous_ = current().get(window_, "Pointer");
  current().set(window_, "Pointer", Value::text("watch"));
}

BusyPointer::~BusyPointer() {
  if (previous_.isEmpty() || !installed() || !current().isValid(window_)) return;
  try {
    current().set(window_, "Pointer", previous_);
  } catch (...) {
    // A window that went away while busy has no pointer left to restore.
  }
}

}  // namespace dot11b::toolkit

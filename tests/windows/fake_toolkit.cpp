// SPDX-License-Identifier: GPL-3.0-or-later
#include "fake_toolkit.h"

#include <stdexcept>

namespace dot11b::windows_test {

using rt::Value;

Value FakeToolkit::addWindow(const std::string& tag, const std::vector<std::string>& controls) {
  Value record = Value::record();
  const double window = next_++;
  properties_[window]["Tag"] = Value::text(tag);
  record.setField(tag, Value::scalar(window));
  windowOf_[window] = window;
  for (const std::string& t : controls) {
    const double h = next_++;
    properties_[h]["Tag"] = Value::text(t);
    windowOf_[h] = window;
    record.setField(t, Value::scalar(h));
  }
  records_[window] = record;
  return record;
}

Value FakeToolkit::get(toolkit::Handle h, std::string_view property) const {
  const auto control = properties_.find(h);
  if (control == properties_.end()) throw std::runtime_error("invalid handle");
  if (const auto p = control->second.find(property); p != control->second.end()) return p->second;
  // What an untouched control holds.
  if (property == "Value") return Value::scalar(0);
  if (property == "Enable" || property == "Visible") return Value::text("on");
  return Value::text("");
}

void FakeToolkit::set(toolkit::Handle h, std::string_view property, const Value& value) {
  if (!isValid(h) || h == toolkit::kScreen) throw std::runtime_error("invalid handle");
  properties_[h][std::string(property)] = value;
}

Value FakeToolkit::appData(toolkit::Handle window) const {
  const auto it = appData_.find(window);
  return it == appData_.end() ? Value() : it->second;
}

toolkit::Handle FakeToolkit::openFigure(std::string_view) { throw std::logic_error("no layouts without widgets"); }
void FakeToolkit::close(toolkit::Handle window) { properties_.erase(window); }
std::vector<toolkit::Handle> FakeToolkit::addControls(toolkit::Handle, std::string_view) {
  throw std::logic_error("no layouts without widgets");
}
toolkit::Handle FakeToolkit::addMenu(toolkit::Handle, const toolkit::MenuEntry&) {
  throw std::logic_error("no menus without widgets");
}

}  // namespace dot11b::windows_test

// SPDX-License-Identifier: GPL-3.0-or-later
// A toolkit without widgets for the window modules' tests: windows are lists of tags, controls are
// property tables, and nothing is drawn.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "toolkit/toolkit.h"

namespace dot11b::windows_test {

class FakeToolkit : public toolkit::Toolkit {
 public:
  // A window tagged `tag` holding controls with these tags; returns its control record.
  rt::Value addWindow(const std::string& tag, const std::vector<std::string>& controls);

  rt::Value get(toolkit::Handle h, std::string_view property) const override;
  void set(toolkit::Handle h, std::string_view property, const rt::Value& value) override;
  bool isValid(toolkit::Handle h) const override { return h == toolkit::kScreen || properties_.count(h) > 0; }

  toolkit::Handle openFigure(std::string_view layout) override;
  void close(toolkit::Handle window) override;
  toolkit::Handle windowOf(toolkit::Handle h) const override { return windowOf_.at(h); }
  rt::Value controlRecord(toolkit::Handle window) const override { return records_.at(window); }
  rt::Value appData(toolkit::Handle window) const override;
  void setAppData(toolkit::Handle window, const rt::Value& data) override { appData_[window] = data; }
  void show(toolkit::Handle window) override { set(window, "Visible", rt::Value::text("on")); }
  void waitFor(toolkit::Handle) override {}
  void resume(toolkit::Handle) override {}
  std::vector<toolkit::Handle> addControls(toolkit::Handle window, std::string_view layout) override;
  toolkit::Handle addMenu(toolkit::Handle parent, const toolkit::MenuEntry& item) override;
  void processEventsFor(int) override {}
  // Records the request; `programsInstalled` says whether the program is there.
  bool openWith(const std::string& program, const std::string& file) override {
    opened.push_back(program + " " + file);
    return programsInstalled;
  }

  void every(toolkit::Handle, int, std::function<void()> tick) override { ticks.push_back(std::move(tick)); }
  // Runs every tick once, as a second of the clock would.
  void tick() {
    for (const auto& t : ticks) t();
  }

  std::vector<std::string> opened;  // "program file", in order
  std::vector<std::function<void()>> ticks;
  bool programsInstalled = true;

 private:
  double next_ = 1;
  std::map<double, std::map<std::string, rt::Value, std::less<>>> properties_;
  std::map<double, double> windowOf_;
  std::map<double, rt::Value> records_, appData_;
};

}  // namespace dot11b::windows_test

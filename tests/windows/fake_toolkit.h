// A toolkit without widgets for the window modules' tests: windows are lists of tags, controls are
// property tables, and nothing is drawn.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "shell/toolkit.h"

namespace dot11b::shell_test {

class FakeToolkit : public shell::Toolkit {
 public:
  // A window tagged `tag` holding controls with these tags; returns its control record.
  rt::Value addWindow(const std::string& tag, const std::vector<std::string>& controls);

  rt::Value get(shell::Handle h, std::string_view property) const override;
  void set(shell::Handle h, std::string_view property, const rt::Value& value) override;
  bool isValid(shell::Handle h) const override { return h == shell::kScreen || properties_.count(h) > 0; }

  shell::Handle openFigure(std::string_view layout) override;
  void close(shell::Handle window) override;
  shell::Handle windowOf(shell::Handle h) const override { return windowOf_.at(h); }
  rt::Value controlRecord(shell::Handle window) const override { return records_.at(window); }
  rt::Value appData(shell::Handle window) const override;
  void setAppData(shell::Handle window, const rt::Value& data) override { appData_[window] = data; }
  void show(shell::Handle window) override { set(window, "Visible", rt::Value::text("on")); }
  void waitFor(shell::Handle) override {}
  void resume(shell::Handle) override {}
  std::vector<shell::Handle> addControls(shell::Handle window, std::string_view layout) override;
  shell::Handle addMenu(shell::Handle parent, const shell::MenuEntry& item) override;
  void processEventsFor(int) override {}

 private:
  double next_ = 1;
  std::map<double, std::map<std::string, rt::Value, std::less<>>> properties_;
  std::map<double, double> windowOf_;
  std::map<double, rt::Value> records_, appData_;
};

}  // namespace dot11b::shell_test

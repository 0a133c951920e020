// SPDX-License-Identifier: GPL-3.0-or-later
// The running application, driven by name through the library's C interface as a host program drives it:
// controls found by tag, entries typed and lists chosen with Set and Invoke, dialogs answered by script.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "dot11b/Dot11b_c_lib.h"
#include "runtime/registry.h"

namespace dot11b::gui_test {

using rt::Value;
using rt::Values;

// A modal box or file dialog as the application showed it.
struct ShownDialog {
  dot11b_dialog_kind kind;
  std::string title;
  std::string text;
  std::vector<std::string> items;
  std::string defaultButton;
};

class AppTest : public ::testing::Test {
 protected:
  // Starts the application (offscreen, no splash delay) in a new empty working folder.
  void SetUp() override;
  // Closes every window and terminates the library.
  void TearDown() override;

  Values call(const std::string& routine, const Values& in, int nargout = 1);
  Value call1(const std::string& routine, const Values& in) { return call(routine, in, 1).at(0); }

  // A control by its tag: in the dialog that waits, if any; otherwise in any open window, a visible one
  // first (the hidden dialogs share tags such as pbOK).
  double handle(const std::string& tag);
  Value get(const std::string& tag, const std::string& property);
  void set(const std::string& tag, const std::string& property, const Value& v);
  std::string text(const std::string& tag) { return get(tag, "String").toUtf8(); }
  double value(const std::string& tag) { return get(tag, "Value").re(0); }
  bool enabled(const std::string& tag) { return get(tag, "Enable").toUtf8() == "on"; }
  bool visible(const std::string& tag) { return get(tag, "Visible").toUtf8() == "on"; }

  // As the user does: types a text into an edit field, chooses a list entry, sets a check box, clicks.
  void type(const std::string& tag, const std::string& text);
  void choose(const std::string& tag, double entry);
  void check(const std::string& tag, bool on);
  void click(const std::string& tag);

  Value global(const std::string& name);
  void setGlobal(const std::string& name, const Value& v);
  double parameter(const std::string& field) { return global("parameters").field(field).scalarValue(); }

  // Answers for the next questions, input dialogs and file dialogs (each in order; none left: closed).
  std::deque<std::string> questionAnswers;
  std::deque<std::vector<std::string>> inputAnswers;
  std::deque<std::string> fileAnswers;
  std::vector<ShownDialog> shown;
  // Runs when a dialog window starts its modal wait (with the window's handle).
  std::function<void(double)> onWait;

  std::string workFolder;

 private:
  std::vector<double> waitingWindows_;
  static dot11b_array* answer(void* self, const dot11b_dialog* dialog);
  static void waiting(void* self, double window);
};

}  // namespace dot11b::gui_test

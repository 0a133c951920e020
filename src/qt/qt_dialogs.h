// SPDX-License-Identifier: GPL-3.0-or-later
// The modal boxes and file dialogs of the window: Qt message boxes, an input dialog and Qt's file dialogs.
#pragma once

#include "toolkit/dialogs.h"

namespace dot11b::qt {

class QtDialogs : public toolkit::Dialogs {
 public:
  void message(std::string_view text, std::string_view title) override;
  void error(std::string_view text, std::string_view title) override;
  std::string question(std::string_view text, std::string_view title, const std::vector<std::string>& buttons,
                       std::string_view defaultButton) override;
  std::optional<std::vector<std::string>> inputs(std::string_view title, const std::vector<std::string>& prompts,
                                                 const std::vector<std::string>& defaults) override;
  std::optional<toolkit::FileChoice> openFile(std::string_view filter) override;
  std::optional<toolkit::FileChoice> saveFile(std::string_view filter) override;
  // Qt's print dialog; the window is drawn scaled to fit the page.
  bool print(double window) override;
};

QtDialogs& qtDialogs();

}  // namespace dot11b::qt

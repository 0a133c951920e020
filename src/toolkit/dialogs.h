// SPDX-License-Identifier: GPL-3.0-or-later
// The modal boxes and file dialogs the commands show: one interface, so that the window supplies real
// dialogs, tests a script, and command-line use the console.
#pragma once

#include "runtime/shared_api.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dot11b::toolkit {

// A file chosen in a file dialog: the folder (ending in a separator) and the file's name, so that
// folder + name is the full name.
struct FileChoice {
  std::string folder;
  std::string name;
};

class DOT11B_SHARED Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Modal message and error boxes; they return when the user has closed them.
  virtual void message(std::string_view text, std::string_view title) = 0;
  virtual void error(std::string_view text, std::string_view title) = 0;
  // Modal question: the text of the chosen button, or "" when closed without a choice.
  virtual std::string question(std::string_view text, std::string_view title, const std::vector<std::string>& buttons,
                               std::string_view defaultButton) = 0;
  // Modal input dialog with one one-line field per prompt, filled with its default: the texts entered, or
  // nothing when cancelled or closed.
  virtual std::optional<std::vector<std::string>> inputs(std::string_view title,
                                                         const std::vector<std::string>& prompts,
                                                         const std::vector<std::string>& defaults) = 0;
  // Standard open and save dialogs with a filter such as "*.mat"; nothing when cancelled.
  virtual std::optional<FileChoice> openFile(std::string_view filter) = 0;
  virtual std::optional<FileChoice> saveFile(std::string_view filter) = 0;
  // The print dialog for the window of that handle, then the printing: whether it printed. Only a window
  // system can print; the others say so in an error box.
  virtual bool print(double window);
};

// Splits a full file name into folder (with its trailing '/', "" for none) and name.
DOT11B_SHARED FileChoice splitFileName(std::string_view fullName);

// The dialogs in use: the console dialogs unless others were installed.
DOT11B_SHARED Dialogs& dialogs();
// Installs `d` (not owned; it must outlive its use); nullptr goes back to the console dialogs.
void setDialogs(Dialogs* d);

// Boxes on stderr. Questions, inputs and file dialogs read one line from stdin when it is a terminal (an
// empty line picks the default button or value, or cancels a file dialog); without a terminal they count
// as closed without a choice.
class ConsoleDialogs : public Dialogs {
 public:
  void message(std::string_view text, std::string_view title) override;
  void error(std::string_view text, std::string_view title) override;
  std::string question(std::string_view text, std::string_view title, const std::vector<std::string>& buttons,
                       std::string_view defaultButton) override;
  std::optional<std::vector<std::string>> inputs(std::string_view title, const std::vector<std::string>& prompts,
                                                 const std::vector<std::string>& defaults) override;
  std::optional<FileChoice> openFile(std::string_view filter) override;
  std::optional<FileChoice> saveFile(std::string_view filter) override;
};

}  // namespace dot11b::toolkit

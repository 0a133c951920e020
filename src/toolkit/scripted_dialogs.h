// SPDX-License-Identifier: GPL-3.0-or-later
// Dialogs that answer from a script and record what was shown: for tests of the commands.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/dialogs.h"

namespace dot11b::toolkit {

class ScriptedDialogs : public Dialogs {
 public:
  struct Shown {
    std::string kind;  // "message", "error", "question", "inputs", "open", "save", "print"
    std::string title; // the filter for file dialogs
    std::string text;  // the prompts of an input dialog, one a line
    std::vector<std::string> buttons;  // questions; the defaults of an input dialog
    std::string defaultButton;         // questions only
  };

  // Answers are used in order; a question, input or file dialog without a scripted answer counts as
  // closed without a choice.
  void answerQuestion(std::string button) { questionAnswers_.push_back(std::move(button)); }
  void chooseFile(std::optional<FileChoice> choice) { fileChoices_.push_back(std::move(choice)); }
  void enterInputs(std::optional<std::vector<std::string>> texts) { inputAnswers_.push_back(std::move(texts)); }

  const std::vector<Shown>& shown() const { return shown_; }
  void clear() { shown_.clear(); }

  void message(std::string_view text, std::string_view title) override;
  void error(std::string_view text, std::string_view title) override;
  std::string question(std::string_view text, std::string_view title, const std::vector<std::string>& buttons,
                       std::string_view defaultButton) override;
  std::optional<std::vector<std::string>> inputs(std::string_view title, const std::vector<std::string>& prompts,
                                                 const std::vector<std::string>& defaults) override;
  std::optional<FileChoice> openFile(std::string_view filter) override;
  std::optional<FileChoice> saveFile(std::string_view filter) override;
  // Records the request and prints nothing.
  bool print(double window) override;

 private:
  std::optional<FileChoice> nextFile();

  std::vector<Shown> shown_;
  std::deque<std::string> questionAnswers_;
  std::deque<std::optional<FileChoice>> fileChoices_;
  std::deque<std::optional<std::vector<std::string>>> inputAnswers_;
};

}  // namespace dot11b::toolkit

// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/scripted_dialogs.h"

namespace dot11b::toolkit {

void ScriptedDialogs::message(std::string_view text, std::string_view title) {
  shown_.push_back({"message", std::string(title), std::string(text), {}, {}});
}

void ScriptedDialogs::error(std::string_view text, std::string_view title) {
  shown_.push_back({"error", std::string(title), std::string(text), {}, {}});
}

std::string ScriptedDialogs::question(std::string_view text, std::string_view title,
                                      const std::vector<std::string>& buttons, std::string_view defaultButton) {
  shown_.push_back({"question", std::string(title), std::string(text), buttons, std::string(defaultButton)});
  if (questionAnswers_.empty()) return "";
  std::string answer = std::move(questionAnswers_.front());
  questionAnswers_.pop_front();
  return answer;
}

std::optional<std::vector<std::string>> ScriptedDialogs::inputs(std::string_view title,
                                                                const std::vector<std::string>& prompts,
                                                                const std::vector<std::string>& defaults) {
  std::string text;
  for (const auto& p : prompts) text += (text.empty() ? "" : "\n") + p;
  shown_.push_back({"inputs", std::string(title), text, defaults, {}});
  if (inputAnswers_.empty() || !inputAnswers_.front()) {
    if (!inputAnswers_.empty()) inputAnswers_.pop_front();
    return std::nullopt;
  }
  std::vector<std::string> answer = std::move(*inputAnswers_.front());
  inputAnswers_.pop_front();
  return answer;
}

std::optional<FileChoice> ScriptedDialogs::nextFile() {
  if (fileChoices_.empty()) return std::nullopt;
  std::optional<FileChoice> choice = std::move(fileChoices_.front());
  fileChoices_.pop_front();
  return choice;
}

std::optional<FileChoice> ScriptedDialogs::openFile(std::string_view filter) {
  shown_.push_back({"open", std::string(filter), "", {}, {}});
  return nextFile();
}

std::optional<FileChoice> ScriptedDialogs::saveFile(std::string_view filter) {
  shown_.push_back({"save", std::string(filter), "", {}, {}});
  return nextFile();
}

bool ScriptedDialogs::print(double) {
  shown_.push_back({"print", "", "", {}, {}});
  return false;
}

}  // namespace dot11b::toolkit

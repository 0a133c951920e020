// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolkit/dialogs.h"

#include <unistd.h>

#include <iostream>

namespace dot11b::toolkit {

namespace {

Dialogs* installed = nullptr;

std::optional<std::string> readAnswer() {
  if (!::isatty(STDIN_FILENO)) return std::nullopt;
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  return line;
}

std::optional<FileChoice> askFileName(std::string_view prompt, std::string_view filter) {
  std::cerr << prompt << " (" << filter << "), empty to cancel: " << std::flush;
  const auto line = readAnswer();
  if (!line || line->empty()) return std::nullopt;
  return splitFileName(*line);
}

}  // namespace

FileChoice splitFileName(std::string_view fullName) {
  const std::size_t slash = fullName.rfind('/');
  if (slash == std::string_view::npos) return {"", std::string(fullName)};
  return {std::string(fullName.substr(0, slash + 1)), std::string(fullName.substr(slash + 1))};
}

Dialogs& dialogs() {
  static ConsoleDialogs console;
  return installed ? *installed : console;
}

void setDialogs(Dialogs* d) { installed = d; }

void ConsoleDialogs::message(std::string_view text, std::string_view title) {
  std::cerr << title << ": " << text << std::endl;
}

void ConsoleDialogs::error(std::string_view text, std::string_view title) {
  std::cerr << title << ": " << text << std::endl;
}

std::string ConsoleDialogs::question(std::string_view text, std::string_view title,
                                     const std::vector<std::string>& buttons, std::string_view defaultButton) {
  std::cerr << title << ": " << text << "\n";
  for (const auto& b : buttons) std::cerr << "  [" << b << "]" << (b == defaultButton ? " (default)" : "") << "\n";
  std::cerr << "> " << std::flush;
  const auto line = readAnswer();
  if (!line) return "";
  if (line->empty()) return std::string(defaultButton);
  for (const auto& b : buttons)
    if (b == *line) return b;
  return "";
}

std::optional<std::vector<std::string>> ConsoleDialogs::inputs(std::string_view title,
                                                               const std::vector<std::string>& prompts,
                                                               const std::vector<std::string>& defaults) {
  std::cerr << title << "\n";
  std::vector<std::string> answers;
  for (std::size_t i = 0; i < prompts.size(); ++i) {
    const std::string preset = i < defaults.size() ? defaults[i] : std::string();
    std::cerr << prompts[i] << " [" << preset << "] " << std::flush;
    const auto line = readAnswer();
    if (!line) return std::nullopt;
    answers.push_back(line->empty() ? preset : *line);
  }
  return answers;
}

bool Dialogs::print(double) {
  error("Printing needs the window system.", "Print");
  return false;
}

std::optional<FileChoice> ConsoleDialogs::openFile(std::string_view filter) { return askFileName("Open file", filter); }

std::optional<FileChoice> ConsoleDialogs::saveFile(std::string_view filter) { return askFileName("Save file", filter); }

}  // namespace dot11b::toolkit

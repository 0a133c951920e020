// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b: the window application, and the command-line face of the library.
#include <exception>
#include <iostream>

#include "command.h"
#include "runtime/error_text.h"

namespace {

void printToolHelp() {
  std::cout << "Usage: dot11b COMMAND [OPTIONS]\n\n"
               "IEEE 802.11b-1999 DSSS waveform generation.\n\nCommands:\n";
  for (const auto& c : dot11b::cli::commands()) {
    const std::size_t pad = c.name.size() < 12 ? 12 - c.name.size() : 1;
    std::cout << "  " << c.name << std::string(pad, ' ') << c.summary << "\n";
  }
  std::cout << "\nRun 'dot11b COMMAND --help' for the options of one command; 'dot11b --version' for the version.\n";
}

}  // namespace

int main(int argc, char** argv) {
  using namespace dot11b::cli;
  const Args args(argv + 1, argv + argc);
  if (args.empty()) return runGui(args);
  if (args.front() == "--help" || args.front() == "-h" || args.front() == "help") {
    printToolHelp();
    return kOk;
  }
  if (args.front() == "--version") {
    std::cout << "dot11b (dot11b-wavegen) " DOT11B_VERSION "\n";
    return kOk;
  }
  for (const auto& c : commands()) {
    if (c.name != args.front()) continue;
    const Args rest(args.begin() + 1, args.end());
    if (wantsHelp(rest)) {
      std::cout << c.help;
      return kOk;
    }
    // Each command reports its own errors; whatever escapes one still ends the tool with a message and
    // a failure status rather than an abort.
    try {
      return c.run(rest);
    } catch (const std::exception& e) {
      std::cerr << "dot11b " << c.name << ": " << dot11b::rt::userMessage(e) << "\n";
      return kFailed;
    }
  }
  std::cerr << "dot11b: unknown command '" << args.front() << "'; run 'dot11b --help'\n";
  return kUsage;
}

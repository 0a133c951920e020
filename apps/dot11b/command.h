// SPDX-License-Identifier: GPL-3.0-or-later
// The subcommands of the dot11b command-line tool.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace dot11b::cli {

using Args = std::vector<std::string>;

// Exit statuses shared by every command.
enum ExitStatus { kOk = 0, kFailed = 1, kUsage = 2 };

struct Command {
  std::string_view name;
  std::string_view summary;  // one line for the tool's --help
  std::string_view help;     // full text for "dot11b NAME --help"
  int (*run)(const Args& args);
};

const std::vector<Command>& commands();

// True when args ask for help (--help or -h anywhere).
bool wantsHelp(const Args& args);

int runEstimate(const Args& args);
int runCall(const Args& args);
int runGenerate(const Args& args);
int runParams(const Args& args);
int runDownload(const Args& args);
int runPing(const Args& args);
int runRefresh(const Args& args);
int runGui(const Args& args);
int runPlot(const Args& args);
int runVerify(const Args& args);
int runPer(const Args& args);
int runDevices(const Args& args);
int runTransmit(const Args& args);
int runCapture(const Args& args);
int runCompose(const Args& args);
// dot11b per --test adjacent-channel.
int runRejection(const Args& args);
// "11 Mbit/s".
std::string rateName(double rateMbps);

}  // namespace dot11b::cli

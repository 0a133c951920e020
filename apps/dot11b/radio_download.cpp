// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio_download.h"

#include <chrono>
#include <iostream>
#include <thread>

#include "c_host.h"
#include "radio_ending.h"
#include "radio_options.h"
#include "runtime/shortest_text.h"

namespace dot11b::cli {

namespace {

// How often the loop's status is looked at: Ctrl-C and the end of the duration are heard within it.
constexpr std::chrono::milliseconds kLook{20};

rt::Value loopStatus(const char* routine, const std::vector<rt::Value>& inputs) {
  return callRoutine(routine, inputs, 1).front();
}

double number(const rt::Value& status, const char* field) { return status.field(field).scalarValue(); }

}  // namespace

std::optional<double> takeLoopDuration(Args& args) {
  const std::optional<double> duration = takePositiveOption(args, "--duration");
  if (duration) checkedDuration(*duration);
  return duration;
}

int playUntilStopped(std::optional<double> duration, const CtrlCStop& ctrlC) {
  std::cout << "Playing in a loop " << (duration ? "for " + rt::shortestText(*duration) + " s" : "until Ctrl-C")
            << "; Ctrl-C stops" << std::endl;
  const auto start = std::chrono::steady_clock::now();
  const auto ended = [&] {
    return duration && std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >= *duration;
  };
  bool stopped = false;
  while (!ctrlC.requested().load() && !ended()) {
    if (number(loopStatus("Dot11b_RadioStatus", {}), "stopped") != 0) {
      stopped = true;
      break;
    }
    std::this_thread::sleep_for(kLook);
  }
  const std::string asked = stopped ? "" : ctrlC.requested().load() ? ctrlC.stopText() : "";
  const rt::Value status =
      loopStatus("Dot11b_RadioStop", {rt::Value::text(asked.empty() ? "the duration ended" : "stopped by " + asked)});
  const RadioEnding ending{asked, number(status, "failed") != 0 ? status.field("reason").toUtf8() : ""};
  const auto samples = static_cast<std::uint64_t>(number(status, "samples"));
  const auto underflows = static_cast<std::uint64_t>(number(status, "underflows"));
  std::cerr << samples << " samples sent, underflows: " << underflows
            << (underflows > 0 ? " (a gap on the air at each)" : "") << "; " << ending.why("the duration ended")
            << "\n";
  return ending.status("download", std::to_string(samples) + " samples went out before");
}

}  // namespace dot11b::cli

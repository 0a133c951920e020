// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated signal generator: runs program messages against its settings, waveform memory
// and error queue, and answers queries.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "error_queue.h"
#include "scpi_parser.h"
#include "waveform_store.h"

namespace sgsim {

inline constexpr const char* kIdentity = "Vantrel,Q6200T,SIM0001,A.01.00";

class Instrument {
 public:
  // storeFolder: where downloaded waveforms are also written (empty = memory only).
  // failCommand: the command (non-query program unit, counted from 1 over the simulator's life)
  // that fails with -200 "Execution error" for fault tests; 0 = none.
  Instrument(std::string storeFolder, long failCommand);

  // Runs one program message. Returns the reply line without terminator (the answers of its
  // queries joined by ';'), or nothing when the message holds no answered query. Errors go to
  // the error queue.
  std::optional<std::string> handle(const std::string& message);

 private:
  std::optional<std::string> runUnit(const ProgramUnit& unit);
  std::optional<std::string> runMemoryData(const ProgramUnit& unit);
  std::optional<std::string> runSetting(const ProgramUnit& unit, bool& matched);
  void resetSettings();

  std::map<std::string, std::string> settings_;  // command pattern -> query text of its value
  ErrorQueue errors_;
  WaveformStore store_;
  long commandsSeen_ = 0;
  long failCommand_;
};

}  // namespace sgsim

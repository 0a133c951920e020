// SPDX-License-Identifier: GPL-3.0-or-later
// What the tests of the radio link share: a private folder for the loopback radio's files, its stored
// transmissions and settings, and the dot11b tool run until it is sent Ctrl-C.
#pragma once

#include <csignal>
#include <map>
#include <string>
#include <vector>

#include "phy/types.h"

namespace sdr_test {

// A new empty folder, removed with everything in it when the object goes.
class Folder {
 public:
  Folder();
  ~Folder();
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

dot11b::ComplexRow readComplex(const std::string& path, bool doubles);  // cf64_le when doubles, else cf32_le
void writeCf32(const std::string& path, const dot11b::ComplexRow& samples);
// The loopback radio's PATH.txt: its settings, bursts and whether it was released.
std::map<std::string, std::string> storedSettings(const std::string& store);

struct SignalledRun {
  int exitStatus = -1;  // -1 when it had to be killed
  std::string out, err;
  double stopSeconds = 0;  // from the signal to the end of the process
};

// Runs the tool, sends it `signal` once its standard output or error holds `ready` and `afterReady` seconds
// have passed, and waits for it to end (killing it after 10 s).
SignalledRun runUntilSignal(const std::vector<std::string>& args, const std::string& ready, double afterReady,
                            int signal);
// The same with SIGINT, as Ctrl-C sends it.
inline SignalledRun runUntilCtrlC(const std::vector<std::string>& args, const std::string& ready, double afterReady) {
  return runUntilSignal(args, ready, afterReady, SIGINT);
}

}  // namespace sdr_test

// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b-sgsim: a simulated signal generator for testing the instrument link without hardware.
#include <csignal>
#include <cstdio>
#include <exception>

#include "instrument.h"
#include "server.h"
#include "sim_options.h"

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);
  try {
    bool help = false;
    const sgsim::SimOptions options = sgsim::parseOptions(argc, argv, help);
    if (help) {
      std::fputs(sgsim::usage(), stdout);
      return 0;
    }
    sgsim::Instrument instrument(options.storeFolder, options.failCommand);
    sgsim::Server server(options, instrument);
    server.run();
  } catch (const std::invalid_argument& e) {
    std::fprintf(stderr, "dot11b-sgsim: %s\n%s", e.what(), sgsim::usage());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "dot11b-sgsim: %s\n", e.what());
    return 1;
  }
}

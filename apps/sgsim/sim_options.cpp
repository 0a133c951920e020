// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim_options.h"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <string_view>

namespace sgsim {
namespace {

long parseWhole(std::string_view option, const char* text, long low, long high) {
  errno = 0;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value < low || value > high) {
    throw std::invalid_argument(std::string(option) + " needs a whole number from " + std::to_string(low) + " to " +
                                std::to_string(high) + ", not '" + text + "'");
  }
  return value;
}

}  // namespace

const char* usage() {
  return "usage: dot11b-sgsim [--port N] [--bind ADDRESS] [--pty] [--store DIR] [--log FILE]\n"
         "                    [--refuse] [--delay-ms MS] [--drop-in-block] [--stall-in-block] [--fail-command K]\n"
         "                    [--read-rate BYTES] [--silent]\n"
         "A simulated signal generator answering SCPI on a TCP port and/or a pseudo-terminal.\n"
         "  --port N          listen on TCP port N (0 picks a free port); prints \"port <n>\"\n"
         "  --bind ADDRESS    address to listen on (default 127.0.0.1; ::1 for IPv6)\n"
         "  --pty             serve a pseudo-terminal as the serial line; prints \"pty <device>\"\n"
         "  --store DIR       write downloaded waveforms to DIR/ARBI/<title> and DIR/MKRI/<title>\n"
         "  --log FILE        log every received command line (blocks shown as [N bytes])\n"
         "Fault switches:\n"
         "  --refuse          take the port but refuse every connection\n"
         "  --delay-ms MS     wait MS milliseconds before every reply\n"
         "  --drop-in-block   break the TCP connection once half of a block has arrived\n"
         "  --stall-in-block  once half of a block has arrived, read and answer nothing more, the connection\n"
         "                    kept open: an instrument that hangs in the middle of a download\n"
         "  --fail-command K  the K-th command (queries not counted) fails with -200 \"Execution error\"\n"
         "  --read-rate BYTES read at most BYTES bytes per second, with small socket buffers: a slow line\n"
         "  --silent          take every connection and command but never answer: a hung instrument\n"
         "\"ready\" is printed once everything is set up.\n";
}

SimOptions parseOptions(int argc, char** argv, bool& help) {
  SimOptions options;
  help = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view option = argv[i];
    const auto value = [&]() -> const char* {
      if (i + 1 >= argc) throw std::invalid_argument(std::string(option) + " needs a value");
      return argv[++i];
    };
    if (option == "--port") options.port = static_cast<int>(parseWhole(option, value(), 0, 65535));
    else if (option == "--bind") options.bindAddress = value();
    else if (option == "--pty") options.pty = true;
    else if (option == "--store") options.storeFolder = value();
    else if (option == "--log") options.logFile = value();
    else if (option == "--refuse") options.refuse = true;
    else if (option == "--delay-ms") options.replyDelayMs = static_cast<int>(parseWhole(option, value(), 0, 3600000));
    else if (option == "--drop-in-block") options.dropInBlock = true;
    else if (option == "--stall-in-block") options.stallInBlock = true;
    else if (option == "--silent") options.silent = true;
    else if (option == "--fail-command") options.failCommand = parseWhole(option, value(), 1, 1000000000);
    else if (option == "--read-rate") options.readRate = parseWhole(option, value(), 1, 1000000000);
    else if (option == "--help" || option == "-h") help = true;
    else throw std::invalid_argument("unknown option '" + std::string(option) + "'");
  }
  if (!help && options.port < 0 && !options.pty) throw std::invalid_argument("give --port N, --pty or both");
  return options;
}

}  // namespace sgsim

// SPDX-License-Identifier: GPL-3.0-or-later
// The simulator's event loop: one TCP client at a time and/or a pseudo-terminal, served with poll().
#pragma once

#include <fstream>
#include <string>

#include "instrument.h"
#include "message_framer.h"
#include "sim_options.h"

namespace sgsim {

class Server {
 public:
  // Opens the listening socket and the pseudo-terminal as the options ask and prints
  // "port <n>", "pty <device>" and "ready" on standard output. Throws std::runtime_error.
  Server(const SimOptions& options, Instrument& instrument);
  ~Server();
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;

  // Serves until the process is ended.
  [[noreturn]] void run();

 private:
  struct Channel {
    int fd = -1;
    bool isSocket = false;
    MessageFramer framer;
  };

  void openListener();
  void openPty();
  void acceptClient();
  void serve(Channel& channel);
  void closeClient(bool reset);
  void reply(Channel& channel, const std::string& line);

  const SimOptions& options_;
  Instrument& instrument_;
  std::ofstream log_;
  int listener_ = -1;
  int ptySlave_ = -1;  // kept open so the master never sees a hang-up between clients
  Channel client_;
  Channel pty_;
  bool stalled_ = false;  // --stall-in-block struck: nothing is read or answered any more
};

}  // namespace sgsim

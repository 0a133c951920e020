// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdr/module_messages.h"

#include <fcntl.h>
#include <unistd.h>

#include <SoapySDR/Logger.hpp>
#include <atomic>
#include <cstdio>

namespace dot11b::sdr {

namespace {

std::atomic<bool> shown{false};

}  // namespace

void showModuleMessages(bool show) { shown.store(show); }

QuietModules::QuietModules() {
  // The log's level holds for the stream's status marks too ("O" and "U" for each overflow and underflow,
  // which the commands count and report themselves).
  SoapySDR::setLogLevel(shown.load() ? SOAPY_SDR_INFO : SOAPY_SDR_CRITICAL);
  if (shown.load()) return;
  const int nowhere = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (nowhere < 0) return;
  std::fflush(stderr);
  savedStderr_ = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 3);
  if (savedStderr_ >= 0) ::dup2(nowhere, STDERR_FILENO);
  ::close(nowhere);
}

QuietModules::~QuietModules() {
  if (savedStderr_ < 0) return;
  std::fflush(stderr);
  ::dup2(savedStderr_, STDERR_FILENO);
  ::close(savedStderr_);
}

}  // namespace dot11b::sdr

// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b ping and dot11b refresh: reaching the signal generator and sending it the settings.
#include <iostream>
#include <stdexcept>

#include "c_host.h"
#include "command.h"
#include "link_calls.h"
#include "parameter_source.h"
#include "runtime/error_text.h"
#include "settings/radio_connection.h"
#include "sig_gen_options.h"

namespace dot11b::cli {

int runPing(const Args& args) {
  rt::Value configuration;
  if (const auto status = takeOptions("ping", [&] {
        Args rest = args;
        configuration = takeConfiguration(rest);
        expectNoMore(rest);
      })) {
    return *status;
  }
  try {
    LibrarySession session;
    const LinkReply reply = callLink("VerifyComm", {configuration});
    if (reply.status != 0) {
      std::cerr << "dot11b ping: " << reply.description << "\n";
      return kFailed;
    }
    std::cout << reply.description << "\n";
    return kOk;
  } catch (const std::exception& e) {
    std::cerr << "dot11b ping: " << rt::userMessage(e) << "\n";
    return kFailed;
  }
}

int runRefresh(const Args& args) {
  rt::Value configuration, settings;
  const char* playback = nullptr;
  if (const auto status = takeOptions("refresh", [&] {
        Args rest = args;
        configuration = takeConfiguration(rest);
        if (settings::isRadioConnection(configuration))
          throw std::invalid_argument(
              "refresh cannot reach a radio: its loop lives in the process that plays it, which ends with it "
              "('dot11b download --to soapy:ARGS' plays until Ctrl-C or --duration; the window's Refresh "
              "changes a loop that plays)");
        playback = takePlaybackRoutine(rest);
        const rt::Value parameters = parametersFromOptions(rest);
        Args remaining;
        settings = sigGenSettingsFromOptions(parameters, rest, remaining);
        expectNoMore(remaining);
      })) {
    return *status;
  }
  try {
    LibrarySession session;
    const LinkReply reply = callLink(playback, {settings.field("Title"), settings, configuration});
    if (reply.status != 0) {
      std::cerr << "dot11b refresh: " << reply.description << "\n";
      return kFailed;
    }
    return kOk;
  } catch (const std::exception& e) {
    std::cerr << "dot11b refresh: " << rt::userMessage(e) << "\n";
    return kFailed;
  }
}

}  // namespace dot11b::cli

// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/link/playback.h"

#include <optional>

#include "instrument/io/instrio.h"

namespace dot11b::instrument {
namespace {

// Statuses after which the link itself cannot carry the next command. An instrument's error reply, by
// contrast, concerns only the command it answers.
bool connectionFailed(int32_t status) {
  return status == INSTRIO_CONNECT_FAILED || status == INSTRIO_TIMED_OUT || status == INSTRIO_CONNECTION_LOST ||
         status == INSTRIO_BUS_ERROR || status == INSTRIO_NO_DRIVER;
}

// when: "before" or "during" command `index` (from 0).
LinkReply cancelled(const char* when, std::size_t index, std::size_t total) {
  return {INSTRIO_CANCELLED, std::string("Instrument setup cancelled ") + when + " command " +
                                 std::to_string(index + 1) + " of " + std::to_string(total) +
                                 "; the instrument may be only partly set up"};
}

std::string notSent(std::size_t count) {
  if (count == 0) return "";
  return "; the " + (count == 1 ? std::string("command") : std::to_string(count) + " commands") + " after it " +
         (count == 1 ? "was" : "were") + " not sent";
}

}  // namespace

LinkReply runPlayback(const std::vector<std::string>& commands, InstrumentLink& link,
                      const PlaybackProgress& progress) {
  LinkReply last;
  std::optional<LinkReply> firstFailure;
  std::optional<LinkReply> stopped;
  for (std::size_t i = 0; i < commands.size(); ++i) {
    if (progress && !progress(i, commands.size())) {
      stopped = cancelled("before", i, commands.size());
      break;
    }
    const std::string& command = commands[i];
    last = link.send(command);
    if (last.status == INSTRIO_CANCELLED) {
      stopped = cancelled("during", i, commands.size());
      break;
    }
    if (connectionFailed(last.status)) {
      stopped = LinkReply{last.status, "The connection to the instrument failed at the command '" + command + "': " +
                                           last.description + notSent(commands.size() - i - 1)};
      break;
    }
    if (last.status != 0 && !firstFailure) {
      // A later success must not hide this failure: the instrument would play with a wrong setting.
      firstFailure =
          LinkReply{last.status, "The instrument did not take the command '" + command + "': " + last.description};
    }
  }
  if (!stopped && progress) progress(commands.size(), commands.size());
  if (stopped && stopped->status == INSTRIO_CONNECT_FAILED) return *stopped;
  // The last command of the sequence, checked as the others: a failure here is its own, reported unless an
  // earlier one already is.
  const LinkReply local = link.returnToLocal();
  if (stopped) return *stopped;
  if (firstFailure) return *firstFailure;
  if (local.status != 0) return {local.status, "The instrument did not return to local control: " + local.description};
  return last;
}

}  // namespace dot11b::instrument

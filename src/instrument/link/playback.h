// SPDX-License-Identifier: GPL-3.0-or-later
// Playback set-up: the commands of the list, then return to local control.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "instrument/link/instrument_link.h"

namespace dot11b::instrument {

// Told before each command how many of all were sent (and once more when all were); false stops the
// sequence, as when the user cancels.
using PlaybackProgress = std::function<bool(std::size_t sent, std::size_t total)>;

// Sends every command even after the instrument refused one, then returns the instrument to local
// control. Reports the first failure (its status, and a description naming the command and giving the
// instrument's text; the return to local counts as the last command), or on success the reply of the
// last command.
// The sequence stops early, with a reply that says so, when the connection fails (then every further
// command would fail too, each after its time-out) and when it is cancelled, through `progress` or
// within a command (INSTRIO_CANCELLED). The return to local follows unless the connection could not be
// opened at all.
LinkReply runPlayback(const std::vector<std::string>& commands, InstrumentLink& link,
                      const PlaybackProgress& progress = {});

}  // namespace dot11b::instrument

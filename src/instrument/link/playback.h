// Playback set-up: every command of the list, then return to local control.
#pragma once

#include <string>
#include <vector>

#include "instrument/link/instrument_link.h"

namespace dot11b::instrument {

// Sends every command even after a failure, then returns the instrument to local control.
// Reports the first failure (its status, and a description naming the command and giving the
// instrument's text), or on success the reply of the last command.
LinkReply runPlayback(const std::vector<std::string>& commands, InstrumentLink& link);

}  // namespace dot11b::instrument

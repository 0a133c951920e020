// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a waveform transfer may start: over RS-232 a long transfer is first put to the user.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "instrument/link/link_reply.h"

namespace dot11b::instrument {

struct QuestionBox {
  std::string title;
  std::string text;
  std::vector<std::string> buttons;
  std::string defaultButton;
};

// Shows the modal question and returns the chosen button's text ("" when closed without a choice).
using AskQuestion = std::function<std::string(const QuestionBox&)>;

inline constexpr const char* kDownloadCancelled = "download cancelled";

// For an RS-232 connection whose transfer of n samples at `baud` bit/s is estimated above 0.75
// minutes, asks "OK"/"Cancel" (default "Cancel"). Returns the reply of a cancelled download when
// the answer is not "OK", nothing when the transfer may start. A baud rate that is not a positive
// number asks nothing: the module refuses it with its own message.
std::optional<LinkReply> confirmTransfer(bool isRs232, std::size_t n, double baud, const AskQuestion& ask);

}  // namespace dot11b::instrument

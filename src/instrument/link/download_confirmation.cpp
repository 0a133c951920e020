// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/link/download_confirmation.h"

#include <cmath>

#include "instrument/link/rs232_estimate.h"

namespace dot11b::instrument {

std::optional<LinkReply> confirmTransfer(bool isRs232, std::size_t n, double baud, const AskQuestion& ask) {
  if (!isRs232 || !(baud > 0) || !std::isfinite(baud)) return std::nullopt;
  const double minutes = rs232TransferMinutes(n, baud);
  if (minutes <= kRs232QuestionMinutes) return std::nullopt;
  const std::string answer = ask({kRs232QuestionTitle, rs232Question(minutes), {"OK", "Cancel"}, "Cancel"});
  if (answer == "OK") return std::nullopt;
  return LinkReply{kRefusedStatus, kDownloadCancelled};
}

}  // namespace dot11b::instrument

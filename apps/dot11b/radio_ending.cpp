// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio_ending.h"

#include <iostream>

#include "command.h"

namespace dot11b::cli {

std::string RadioEnding::why(std::string_view complete) const {
  if (!failure.empty()) return "failed";
  if (!stoppedBy.empty()) return "stopped by " + stoppedBy;
  return std::string(complete);
}

int RadioEnding::status(std::string_view command, std::string_view kept) const {
  if (failure.empty()) return kOk;
  std::cerr << "dot11b " << command << ": " << failure << "; " << kept << "\n";
  return kFailed;
}

}  // namespace dot11b::cli

// SPDX-License-Identifier: GPL-3.0-or-later
// Long work beside a progress dialog: the work runs on a thread of its own while the window stays
// responsive; Cancel asks the work to stop.
#pragma once

#include "toolkit/long_work.h"

namespace dot11b::qt {

class ProgressWork : public toolkit::LongWork {
 public:
  void run(std::string_view title, toolkit::WorkUnit unit,
           const std::function<void(toolkit::Progress&)>& work) override;
};

ProgressWork& progressWork();

}  // namespace dot11b::qt

// Long work beside a progress dialog: the work runs on a thread of its own while the window stays
// responsive; Cancel asks the work to stop.
#pragma once

#include "shell/long_work.h"

namespace dot11b::ui {

class ProgressWork : public shell::LongWork {
 public:
  void run(std::string_view title, const std::function<void(shell::Progress&)>& work) override;
};

ProgressWork& progressWork();

}  // namespace dot11b::ui

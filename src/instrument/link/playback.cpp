#include "instrument/link/playback.h"

#include <optional>

namespace dot11b::instrument {

LinkReply runPlayback(const std::vector<std::string>& commands, InstrumentLink& link) {
  LinkReply last;
  std::optional<LinkReply> firstFailure;
  for (const std::string& command : commands) {
    last = link.send(command);
    if (last.status != 0 && !firstFailure) {
      // A later success must not hide this failure: the instrument would play with a wrong setting.
      firstFailure = LinkReply{last.status, "The instrument did not take the command '" + command + "': " + last.description};
    }
  }
  link.returnToLocal();  // its outcome does not change what was set up
  return firstFailure ? *firstFailure : last;
}

}  // namespace dot11b::instrument

// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/transports/poll_wait.h"

#include <cerrno>

namespace dot11b::instrio {

bool waitReady(int fd, short events, const Deadline& deadline, short& revents) {
  for (;;) {
    const int left = deadline.remainingMs();
    if (left == 0) return false;
    pollfd p{fd, events, 0};
    const int n = ::poll(&p, 1, left);
    if (n > 0) {
      revents = p.revents;
      return true;
    }
    if (n < 0 && errno != EINTR) {
      revents = POLLERR;
      return true;
    }
  }
}

}  // namespace dot11b::instrio

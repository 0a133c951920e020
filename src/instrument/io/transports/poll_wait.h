// SPDX-License-Identifier: GPL-3.0-or-later
// Waiting for a descriptor with poll() until a deadline.
#pragma once

#include <poll.h>

#include "instrument/io/transports/deadline.h"

namespace dot11b::instrio {

// Waits until `fd` reports one of `events` (or an error or hang-up); false when the deadline passed
// first. Interrupted waits resume. revents receives what poll() reported (POLLERR on a poll failure).
bool waitReady(int fd, short events, const Deadline& deadline, short& revents);

}  // namespace dot11b::instrio

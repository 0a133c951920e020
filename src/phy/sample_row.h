// SPDX-License-Identifier: GPL-3.0-or-later
// Long sample rows: their memory is first touched page by page, which on virtual machines costs more than
// the arithmetic that fills it. Rows of many megabytes are asked to live on huge pages, which a 2-core
// virtual machine faults in 512 times less often.
#pragma once

#include <cstddef>

#include "phy/types.h"

namespace dot11b::phy {

// An empty row with room for `capacity` samples, on huge pages where the system grants them.
ComplexRow reservedRow(std::size_t capacity);

}  // namespace dot11b::phy

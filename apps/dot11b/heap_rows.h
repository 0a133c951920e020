// SPDX-License-Identifier: GPL-3.0-or-later
// Large sample rows kept in the heap once freed, for commands that make rows of megabytes one after another.
#pragma once

namespace dot11b::cli {

// A row freed by such a command would otherwise go back to the kernel (the allocator maps each large row on
// its own), and the next row of about its size would be faulted in page by page again: a cost of its own
// beside the arithmetic, a third of the making of a long frame. Kept in the heap, it is reused as it is.
void keepRowsInHeap();

}  // namespace dot11b::cli

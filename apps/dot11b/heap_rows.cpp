// SPDX-License-Identifier: GPL-3.0-or-later
#include "heap_rows.h"

#include <malloc.h>

namespace dot11b::cli {

void keepRowsInHeap() {
  // Above the rows of a PER batch (tens of megabytes) and of the longest frames; memory the command no
  // longer needs is given back when it ends.
  constexpr int kKeptRowBytes = 512 << 20;
  mallopt(M_MMAP_THRESHOLD, kKeptRowBytes);
  mallopt(M_TRIM_THRESHOLD, kKeptRowBytes);
}

}  // namespace dot11b::cli

// SPDX-License-Identifier: GPL-3.0-or-later
#include "phy/sample_row.h"

#include <sys/mman.h>

#include <cstdint>

namespace dot11b::phy {

namespace {

constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;

// Advice only: a kernel without transparent huge pages, or one that refuses them, leaves the row on small
// pages, which is correct, only slower.
void adviseHugePages(const void* start, std::size_t bytes) {
  const auto begin = (reinterpret_cast<std::uintptr_t>(start) + kHugePage - 1) & ~(kHugePage - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(start) + bytes) & ~(kHugePage - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace

ComplexRow reservedRow(std::size_t capacity) {
  ComplexRow row;
  row.reserve(capacity);
  adviseHugePages(row.data(), row.capacity() * sizeof(Complex));
  return row;
}

}  // namespace dot11b::phy

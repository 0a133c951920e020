// SPDX-License-Identifier: GPL-3.0-or-later
// Files that belong together (a SigMF recording's data and metadata, a waveform and its markers), replaced
// as one: a reader finds the old set or the new one, never files of both, even when the writer dies
// between its renames or a second writer replaces the same set at the same time.
//
// The file added last decides (the SigMF metadata, the waveform): it is put in place last, so that whoever
// finds it finds the whole set beside it. A commit moves each whole new file to TARGET.staged, the deciding
// one last (from then on the new set stands), removes the old deciding file and then renames the staged
// files into place, all under a lock on the deciding file's folder. A commit cut short is finished by the
// next commit of the same set; until then committedPath() tells a reader where the set's files are.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "files/safe_save.h"

namespace dot11b::files {

class ReplacementSet {
 public:
  ReplacementSet() = default;
  ~ReplacementSet();
  ReplacementSet(const ReplacementSet&) = delete;
  ReplacementSet& operator=(const ReplacementSet&) = delete;

  // A new file for `target`, to write at the path returned until commit(). Throws std::invalid_argument
  // when the set already holds the target, and what ReplacementFile throws.
  const std::string& add(const std::string& target);
  // Puts every file in place as described above (a set of one file by its rename alone). Throws
  // std::runtime_error naming the file that failed; before the deciding file is staged, nothing changes and
  // the old set stays.
  void commit();

 private:
  std::vector<std::unique_ptr<ReplacementFile>> files_;
};

// The name a member waits under during a commit.
std::string stagedName(const std::string& target);

// Where a reader finds member k of the set `targets` (the deciding one last): its staged file when a
// commit that had staged the deciding file was cut short, otherwise the target itself.
std::string committedPath(const std::vector<std::string>& targets, std::size_t k);

}  // namespace dot11b::files

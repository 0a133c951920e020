// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a user's file without ever leaving it half written.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace dot11b::files {

// A new file beside `target`, written under a temporary name (TARGET.tmp-XXXXXX) and put in its place by
// commit() once whole (the data on disk first); never committed, it is removed. For files written over a
// long time (a radio recording) and the whole-file saves below alike. A link is followed to the file it
// names. A device or pipe (/dev/null, /dev/stdout) is written directly: path() is the target, and commit()
// has nothing to do; so is the temporary file of another ReplacementFile of this process, so that the
// whole-file saves below can write a member of a ReplacementSet.
// The temporary file stays locked while this object lives; a new one for the same target first removes
// those left unlocked by a writer that died (killed before it could clean up).
class ReplacementFile {
 public:
  // Throws std::runtime_error naming the file when the folder cannot take the new file.
  explicit ReplacementFile(const std::string& target);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Where to write.
  const std::string& path() const { return path_; }
  // The file it replaces (a link followed); for another's temporary file, the file that one replaces.
  const std::string& target() const { return target_; }
  // False for a device, a pipe or another's temporary file, which are written where they are.
  bool replaces() const { return pending_; }
  // Flushes the written file to disk and renames it over the target. Throws std::runtime_error naming the
  // target when that fails; the temporary file is then removed and the old target stays as it was.
  void commit();
  // Flushes the written file to disk and renames it to `name` instead, where the caller takes charge of it.
  void commitAs(const std::string& name);

 private:
  std::string target_, path_;
  int lock_ = -1;         // the temporary file, locked while it is written
  bool pending_ = false;  // a temporary file that is not yet in place
};

// Runs write(temporaryPath) for a new file beside `target` and renames it over `target` only when write
// returns normally and the data is on disk. If write throws (or the rename fails) the temporary file is
// removed, the old `target` stays as it was and the error propagates. A new file gets the usual
// permissions (0666 less the umask); a replaced file keeps its own. A link is followed to the file it
// names; a device or pipe (/dev/null, /dev/stdout) is written directly. Throws std::runtime_error naming
// the file when the folder cannot take the new file.
void saveReplacing(const std::string& target, const std::function<void(const std::string& temporaryPath)>& write);

// Writes `bytes` as the whole new content of `target` through saveReplacing; a short write is an error,
// never a success.
void saveBytes(const std::string& target, std::string_view bytes);

// Removes the temporary files of `target` (TARGET.tmp-XXXXXX) that no living writer holds.
void removeAbandonedTemporaries(const std::string& target);

}  // namespace dot11b::files

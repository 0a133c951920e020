// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a user's file without ever leaving it half written.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace dot11b::files {

// A new file beside `target`, written under a temporary name and put in its place by commit() once whole
// (the data on disk first); never committed, it is removed. For files written over a long time (a radio
// recording) and the whole-file saves below alike. A link is followed to the file it names. A device or
// pipe (/dev/null, /dev/stdout) is written directly: path() is the target, and commit() has nothing to do.
class ReplacementFile {
 public:
  // Throws std::runtime_error naming the file when the folder cannot take the new file.
  explicit ReplacementFile(const std::string& target);
  ~ReplacementFile();
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;

  // Where to write.
  const std::string& path() const { return path_; }
  // Flushes the written file to disk and renames it over the target. Throws std::runtime_error naming the
  // target when that fails; the temporary file is then removed and the old target stays as it was.
  void commit();

 private:
  std::string target_, path_;
  bool pending_ = false;  // a temporary file that is not yet in place
};

// Runs write(temporaryPath) for a new file beside `target` and renames it over `target` only when write
// returns normally and the data is on disk. If write throws (or the rename fails) the temporary file is
// removed, the old `target` stays as it was and the error propagates. A new file gets the usual
// permissions (0666 less the umask); a replaced file keeps its own. A link is followed to the file it
// names; a device or pipe (/dev/null, /dev/stdout) is written directly. Throws std::runtime_error naming
// the file when the folder cannot take the new file.
void saveReplacing(const std::string& target, const std::function<void(const std::string& temporaryPath)>& write);

// Writes `bytes` as the whole new content of `target` through saveReplacing, in one write; a short write
// is an error, never a success.
void saveBytes(const std::string& target, std::string_view bytes);

}  // namespace dot11b::files

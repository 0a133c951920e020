// SPDX-License-Identifier: GPL-3.0-or-later
// Replacing a user's file without ever leaving it half written.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace dot11b::files {

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

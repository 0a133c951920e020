// SPDX-License-Identifier: GPL-3.0-or-later
// Where the user's documentation lies, for the About window's "Website:" line.
#pragma once

#include <string>

namespace dot11b::settings {

// The README as a file:// URL: the one installed with the package, in the documentation folder beside the
// library's; in a build tree (or a copy of the library without it), the source tree's.
std::string readmeAddress();

}  // namespace dot11b::settings

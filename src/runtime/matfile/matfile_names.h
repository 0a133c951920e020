// SPDX-License-Identifier: GPL-3.0-or-later
// The names of a MAT-file's variables, read from the element headers alone: what a file is can be told
// before its size matters, even for a file far larger than any limit on reading it whole.
#pragma once

#include <string>
#include <vector>

namespace dot11b::rt {

// The names of the top-level variables of a level 5 MAT-file, in file order. Reads the header, then for
// each variable its tag and the first bytes of its array (inflating only that much of a compressed one),
// and seeks past the rest. Throws MatFileError when the file cannot be opened, is not a level 5 MAT-file,
// or an element is cut off.
std::vector<std::string> matVariableNames(const std::string& path);

}  // namespace dot11b::rt

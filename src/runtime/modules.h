// SPDX-License-Identifier: GPL-3.0-or-later
// Parts of the library that link large libraries (the window system, the MAT-file library) live in
// modules of their own beside it, opened when first needed: a host that only computes frames never loads
// them, nor the dozens of libraries they pull in.
#pragma once

#include <string>

namespace dot11b::rt {

// Opens the module `fileName` from the folder of the object that holds this code, then by name through
// the dynamic loader's search path. Modules stay open. Throws std::runtime_error with the loader's
// message when neither works.
void* openModule(const std::string& fileName);

// The folder of the object (library or program) that holds this code, with a trailing slash; "" when the
// system cannot tell.
std::string ownFolder();

}  // namespace dot11b::rt

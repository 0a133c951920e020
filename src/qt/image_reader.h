// SPDX-License-Identifier: GPL-3.0-or-later
// Image files as three colour planes of 8-bit values.
#pragma once

#include <string>

#include "runtime/registry.h"

namespace dot11b::qt {

// Red, green and blue planes (rows x columns, 8-bit whole numbers) of an image file; a grey image gives
// three equal planes. With jpegOnly, a file that is not a JPEG image is refused. Throws naming the file.
rt::Values readImage(const std::string& filename, bool jpegOnly);

}  // namespace dot11b::qt

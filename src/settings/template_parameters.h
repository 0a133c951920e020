// SPDX-License-Identifier: GPL-3.0-or-later
// A frame template put into a parameters record, so that the record's header, FCS and lengths (and with
// them the size estimate) describe the templated frame.
#pragma once

#include "mac/frame_templates.h"
#include "runtime/value.h"

namespace dot11b::settings {

// Sets the MAC header fields the template names (the bit stream rebuilt), turns the MAC header and the FCS
// on, and sets dataLength to the length of the template's body: 0 for a frame without one, the management
// body's for a beacon or probe response; a data frame keeps its payload. Then re-derives the lengths.
// A channel of 0 in the settings takes the record's Channel. Throws std::invalid_argument for bad settings.
void applyTemplate(rt::Value& parameters, mac::TemplateSettings& settings);

}  // namespace dot11b::settings

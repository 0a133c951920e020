// SPDX-License-Identifier: GPL-3.0-or-later
// The format panel's Calculate: the frame of a parameters record.
#pragma once

#include "mac/payload.h"
#include "phy/frame.h"
#include "runtime/value.h"

namespace dot11b::settings {

// The generator's settings from the record's fields; the filter gets FilterTaps x OverSampling taps.
phy::FrameSettings frameSettings(const rt::Value& parameters);
// The PSDU's settings: payload source and length, MAC header bits and switches.
mac::PayloadSettings payloadSettings(const rt::Value& parameters);

// Checks the record (throws ParameterError naming the first bad field), builds the PSDU with the
// payload generator and returns the frame: waveform at 11 MHz x OverSampling and the two marker rows.
phy::Frame calculate(const rt::Value& parameters);

}  // namespace dot11b::settings

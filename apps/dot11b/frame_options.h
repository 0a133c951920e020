// SPDX-License-Identifier: GPL-3.0-or-later
// The frame that generate and transmit make: a sequence of frames from the parameters (a parameter file and
// --set), with its template and impairments, checked before anything is computed.
#pragma once

#include "channel/impairments.h"
#include "command.h"
#include "phy/frame.h"
#include "runtime/value.h"
#include "testbench/frame_sequence.h"
#include "testbench/signal_composer.h"

namespace dot11b::cli {

using FrameOptions = testbench::SignalSettings;

// Takes the sequence, impairment and parameter options, the last of a command's: anything left is refused.
// Throws as the options' own parsers do (std::invalid_argument, settings::ParameterError).
FrameOptions takeFrameOptions(Args& args);

}  // namespace dot11b::cli

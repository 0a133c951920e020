// SPDX-License-Identifier: GPL-3.0-or-later
// The options of a frame sequence and a frame template, shared by generate, estimate and per.
#pragma once

#include "command.h"
#include "runtime/value.h"
#include "testbench/frame_sequence.h"

// The help of the sequence and template options, as the commands that take them print it.
#define DOT11B_SEQUENCE_OPTIONS_HELP                                                                          \
  "Sequences and templates:\n"                                                                              \
  "  --frames N         N frames one after another (1 to 65536), each with its own ramps and idle\n"          \
  "                     interval; the MAC header's sequence number (bits 4 to 15 of Sequence Control)\n"     \
  "                     counts up by one a frame, modulo 4096, from the value set, and each frame has\n"     \
  "                     its own FCS. The whole sequence may hold at most 33554432 samples (32 Msamples).\n"  \
  "  --payload continue|repeat  PN9, PN15 and a payload file go on from frame to frame (continue, the\n"  \
  "                     default) or every frame carries the first one's payload (repeat).\n"                \
  "  --template beacon|probe-response|data|null|ack|cts|rts  fills Frame Control, Duration/ID and the\n"     \
  "                     addresses as IEEE 802.11-1999 clause 7 lays them out, turns the MAC header and\n"   \
  "                     the FCS on, and gives a beacon or probe response its body (timestamp, beacon\n"     \
  "                     interval, capability, SSID, the rates 1, 2, 5.5 and 11 Mbit/s, DS parameter set);\n"\
  "                     control and null frames carry no body. What it does not name comes from the\n"    \
  "                     parameters (after --set). Durations assume the responses at the frame's rate.\n"  \
  "  --ssid TEXT --bssid ADDR --ra ADDR --ta ADDR --beacon-interval TU (100) --channel 1..14 (Channel)\n"    \
  "                     the template's fields; ADDR as written, 00:11:22:33:44:55, first octet first.\n"

namespace dot11b::cli {

// Takes --frames N, --payload continue|repeat, --template KIND and the template's --ssid, --bssid, --ra, --ta,
// --beacon-interval and --channel out of args. Throws std::invalid_argument naming the option.
testbench::SequenceSettings takeSequenceOptions(Args& args);

// Puts the sequence's template, if any, into the record (after --set, so the template wins for what it names).
void applySequenceTemplate(rt::Value& parameters, testbench::SequenceSettings& sequence);

// A number option: nothing when absent; throws std::invalid_argument when it is not a finite number.
std::optional<double> takeNumberOption(Args& args, const std::string& name);

}  // namespace dot11b::cli

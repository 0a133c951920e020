// SPDX-License-Identifier: GPL-3.0-or-later
// The parameters record behind the generating blocks, made from their settings with the rules of the
// application and dot11b generate: the start values or a parameter file, then FIELD=VALUE settings.
#pragma once

#include <gnuradio/gr_complex.h>
#include <gnuradio/logger.h>

#include <cstdint>
#include <string>
#include <vector>

#include "phy/frame.h"
#include "runtime/value.h"

namespace gr {
namespace dot11b {

// The start values, or the parameter file's record when one is named (its adjustments logged), with the
// "FIELD=VALUE" settings applied in order. Throws with the message dot11b generate gives.
::dot11b::rt::Value parameters_record(const std::string& params_file,
                                      const std::vector<std::string>& settings,
                                      const gr::logger_ptr& logger);

// Sets one of the blocks' named settings from its text: "rate", "preamble" (long, short), "modulation"
// (CCK, PBCC; DBPSK and DQPSK leave it as it is), "filter" (rectangular, gaussian, root-raised-cosine),
// "oversampling", or a field of the record by its name. False, with nothing changed, for another key.
// Throws for a value the field does not take.
bool apply_named_setting(::dot11b::rt::Value& parameters, const std::string& key, const std::string& text);

// The record checked, and its frame with `pdu` for the payload: the PSDU itself, or the frame body between
// the MAC header and the FCS when the record has them on. dataLength becomes the PDU's length.
::dot11b::phy::Frame pdu_frame(::dot11b::rt::Value& parameters, const std::vector<uint8_t>& pdu);

// The frame's samples as the stream carries them: at `samp_rate` (0: as made, at 11 MHz x OverSampling),
// taken there by the radio link's resampler.
std::vector<gr_complex> stream_samples(const ::dot11b::ComplexRow& waveform, double frame_rate, double samp_rate);

} // namespace dot11b
} // namespace gr

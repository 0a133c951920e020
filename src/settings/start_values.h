// SPDX-License-Identifier: GPL-3.0-or-later
// The four settings records with their start values, in the field order that files and comparisons rely on.
#pragma once

#include "runtime/shared_api.h"
#include "mac/mac_header.h"
#include "runtime/value.h"

namespace dot11b::settings {

rt::Value initialParameters();
// SamplingRate follows the given oversampling.
rt::Value initialSigGenSettings(double overSampling);
rt::Value initialConfiguration();
DOT11B_SHARED rt::Value initialAppInfo();

// MAC header record (BitStream, FrameCntrl, DurationID, SeqCntrl, Address1..4) and back.
rt::Value macHeaderRecord(const mac::MacHeader& header);
mac::MacHeader macHeaderFromRecord(const rt::Value& record);

// PSDU octets: dataLength + MACheader.Active x MACheader.Length + MACfcs.Active x MACfcs.Length.
double totalLength(const rt::Value& parameters);
// Dot11b_SizeEst of the record's fields, as the format panel computes ProjectedLength.
double projectedLength(const rt::Value& parameters);

}  // namespace dot11b::settings

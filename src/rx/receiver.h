// SPDX-License-Identifier: GPL-3.0-or-later
// A receiver for IEEE 802.11b-1999 DSSS frames (clauses 18.2 and 18.4), written from the standard and
// sharing no modulator with this system's transmitter, so that a fault in one cannot hide in the other.
// It finds every frame in a capture and decodes its PLCP header and PSDU.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "phy/types.h"
#include "rx/plcp_header.h"

namespace dot11b::rx {

struct ReceivedFrame {
  double startSample = 0;      // first SYNC sample, in the capture's samples
  double endSample = 0;        // one past the last sample of the last symbol read
  bool shortPreamble = false;
  bool scrambled = true;       // false: the header and PSDU came unscrambled (a transmitter's test setting)
  PlcpHeader header;
  std::string modulation;      // "DBPSK", "DQPSK", "CCK" or "PBCC"; "" when the header is unusable
  Bits psdu;                   // descrambled PSDU bits, first received first (empty without a usable header)
  bool psduComplete = false;   // every announced PSDU bit was received
  bool fcsOk = false;          // the last 32 PSDU bits are the FCS of the others
  double cfoHz = 0;            // carrier offset of the frame against the capture's centre
  double clockPpm = 0;         // chip clock of the frame against 11 MHz x (1 + ppm 1e-6)
  double evmRmsPercent = 0;    // over every chip after the SFD
  double evmPeak = 0;          // the largest error vector magnitude among the first 1000 chips after the SFD
};

// Every frame in `samples` taken at `sampleRate` [Hz], in order. Throws rt::OutOfRange (a
// std::invalid_argument) for a rate outside the receiver's range (requireReceivableRate).
std::vector<ReceivedFrame> receiveFrames(const ComplexRow& samples, double sampleRate);

// The same for a capture read block by block (`blockSamples` at a time): each frame goes to `onFrame` as
// soon as it is decoded, and memory holds about a frame of the stream, whatever the capture's length. The
// frames are those the whole capture gives at once. `onProgress`, when given, hears now and then a capture
// sample before which no frame still to be found starts.
class SampleSource;
void receiveStream(SampleSource& source, double sampleRate, const std::function<void(ReceivedFrame&&)>& onFrame,
                   std::size_t blockSamples = 1 << 16, const std::function<void(double)>& onProgress = {});

}  // namespace dot11b::rx

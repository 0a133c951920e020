// SPDX-License-Identifier: GPL-3.0-or-later
// The complete 802.11b DSSS frame: PLCP, scrambling, modulation, ramps, oversampling, circular filtering.
#pragma once

#include "phy/types.h"

namespace dot11b::phy {

struct FrameSettings {
  double dataRate = 11;        // 1, 2, 5.5 or 11 Mbit/s
  int highRateMod = 0;         // 0 CCK, 1 PBCC (5.5 and 11 Mbit/s only)
  int preambleType = 0;        // 0 long, 1 short
  int locked = 0;              // locked-clocks flag of the SERVICE field
  int scramblerActive = 1;     // 0 off, 1 whole frame, 2 preamble only
  int encoderActive = 1;       // PBCC coder on/off
  int generationMode = 1;      // 1 framed, 0 unframed (PSDU only)
  double idleSamples = 0;      // zero samples after the frame [output samples]
  int rampType = 0;            // 0 none, 1 linear, 2 raised cosine
  double rampLength = 0;       // length of each ramp [output samples]
  double oversamplingRate = 4; // samples per chip: whole, or whole plus one half
  int filterType = 0;          // 0 rectangular hold, 1 Gaussian, 2 root raised cosine
  double filterFactor = 0.5;   // Gaussian BT or root-raised-cosine roll-off
  double filterTaps = 24;      // filter length [output samples at the whole oversampling factor]
  bool mirrorSpectrum = false; // deliver the complex conjugate
};

struct Frame {
  ComplexRow waveform;  // 11 MHz x oversamplingRate samples, always of even length
  Bits marker1;         // 1 where the frame is at full power (not on ramps, idle, pad)
  Bits marker2;         // 1 over the whole frame including ramps
};

// Throws std::invalid_argument naming the bad setting. A long frame is filtered on `threads` cores (0:
// every core the machine has), with the same result, bit for bit, on any number.
Frame generateFrame(const Bits& psdu, const FrameSettings& settings, unsigned threads = 0);

}  // namespace dot11b::phy

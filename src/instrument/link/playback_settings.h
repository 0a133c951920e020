// SPDX-License-Identifier: GPL-3.0-or-later
// The signal generator settings a playback set-up sends (fields of SigGenSettings).
#pragma once

namespace dot11b::instrument {

struct PlaybackSettings {
  double frequency = 2412e6;     // carrier frequency [Hz]
  double amplitude = -30;        // output level [dBm]
  double samplingRate = 44e6;    // waveform sample clock [Hz]
  double reconFilter = 4;        // 1 250 kHz, 2 2.5 MHz, 3 8 MHz, else through (older platform)
  double bbFilter = 2;           // 1 2.1 MHz, 2 40 MHz, else through (Q6200T)
  double scaling = 95;           // waveform runtime scaling [%]
  double modAtten = 0;           // I/Q modulator attenuation [dB]
  double alc = 1;                // 0 off, else on
  double rfBlanking = 1;         // 1 on, else off
  double markerPolarity = 0;     // 0 positive, else negative
  double arbRefSource = 0;       // 0 internal, else external
};

}  // namespace dot11b::instrument

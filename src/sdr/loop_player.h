// SPDX-License-Identifier: GPL-3.0-or-later
// A radio that plays one waveform in a loop in the background, as a signal generator's waveform memory
// does: the copies follow each other in one burst without a gap, until the player is stopped, the radio
// fails or the player goes. Its own thread owns the radio and its stream; a change of frequency, gain or RF
// output is handed to that thread and made between two stream calls, so the loop neither stops nor starts
// over. RF off ends the burst and keeps the radio; RF on starts the waveform again from its first sample.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "phy/types.h"
#include "sdr/rate_choice.h"

namespace dot11b::sdr {

class Radio;

// What may change while the loop plays.
struct LoopSettings {
  double frequency = 0;  // [Hz]
  double gain = 0;       // [dB] over every stage; held to the radio's gain range, with a note
  bool rfOn = true;
};

struct LoopRequest {
  std::string args;           // SoapySDR arguments of the radio
  std::size_t channel = 0;
  std::string antenna;        // "" leaves the radio's own choice
  ComplexRow frame;           // the waveform, at frameRate
  double frameRate = 0;       // [Hz]
  double backoffDb = 1;       // the peak below the radio's full scale
  LoopSettings settings;
};

struct LoopStatus {
  std::string radio;              // "driver=loopback, label=..., serial=..."
  double frequency = 0;           // [Hz]
  double gain = 0;                // [dB]
  double rate = 0;                // [sample/s] the radio runs at
  std::uint64_t samplesSent = 0;  // over every burst
  std::uint64_t underflows = 0;
  std::size_t waveformSamples = 0;  // of one copy at the radio's rate
  bool rfOn = false;
  bool playing = false;  // the loop runs (false while RF is off, and once stopped)
  bool stopped = false;  // for good: the player ended and let the radio go
  bool failed = false;   // the radio failed or vanished
  std::string reason;    // why it stopped ("RF off", "replaced by another Download", the radio's message)
};

class LoopPlayer {
 public:
  // Opens the radio, sets its rate (the frame's where it runs at it, as transmit chooses), frequency, gain
  // and antenna, prepares the waveform and starts the loop (or waits with RF off). Throws RadioError for
  // what the radio refuses, std::invalid_argument for a bad request; nothing has gone out then.
  explicit LoopPlayer(const LoopRequest& request);
  // Stops the loop ("the player closed" unless stopped before) and releases the radio.
  ~LoopPlayer();
  LoopPlayer(const LoopPlayer&) = delete;
  LoopPlayer& operator=(const LoopPlayer&) = delete;

  // Makes the changes between two stream calls and waits until they are made. Throws RadioError with the
  // radio's message when it refuses one, or when the player has stopped.
  void change(const LoopSettings& settings);
  // Ends the loop for good with `reason`, closes the burst and releases the radio; waits for all that.
  void stop(const std::string& reason);
  LoopStatus status() const;
  // What was set otherwise than asked (a gain held to the radio's range or step), since the last call.
  std::vector<std::string> takeNotes();

 private:
  void run();
  double heldGain(double gain);

  std::unique_ptr<Radio> radio_;
  struct Prepared;
  std::unique_ptr<Prepared> prepared_;
  std::optional<std::pair<double, double>> gainRange_;

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::optional<LoopSettings> pending_;  // handed to the thread, not yet made
  std::string changeError_;              // the radio's refusal of the last change
  bool stopAsked_ = false;
  std::string stopReason_;
  std::atomic<bool> interrupt_{false};  // a change or the stop waits: the stream call returns early
  LoopStatus status_;
  std::vector<std::string> notes_;
  std::thread thread_;
};

}  // namespace dot11b::sdr

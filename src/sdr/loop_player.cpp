// SPDX-License-Identifier: GPL-3.0-or-later
#include "sdr/loop_player.h"

#include <algorithm>
#include <chrono>
#include <stdexcept>

#include "runtime/shortest_text.h"
#include "sdr/radio.h"
#include "sdr/radio_error.h"
#include "sdr/streams.h"
#include "sdr/transmission.h"

namespace dot11b::sdr {

namespace {

// How long a caller waits for the loop to take a change: longer than a stream call that stalls may last.
constexpr auto kChangeWait = kStallLimit + std::chrono::seconds(1);

}  // namespace

struct LoopPlayer::Prepared {
  StreamFormat format;
  TxWaveform waveform;
};

LoopPlayer::LoopPlayer(const LoopRequest& request) {
  if (request.frame.empty()) throw std::invalid_argument("the waveform to play holds no samples");
  radio_ = std::make_unique<Radio>(request.args, request.channel);
  const Range gains = radio_->gainRange(Direction::Transmit);
  gainRange_ = std::make_pair(gains.minimum, gains.maximum);
  TuneSettings tune;
  tune.frequency = request.settings.frequency;
  tune.gain = heldGain(request.settings.gain);
  tune.antenna = request.antenna;
  const double rate = setUpTransmit(*radio_, std::nullopt, request.frameRate, tune);
  prepared_ = std::make_unique<Prepared>();
  prepared_->format = radio_->streamFormat(Direction::Transmit);
  prepared_->waveform = prepareWaveform(request.frame, request.frameRate, rate, prepared_->format, request.backoffDb);
  for (const std::string& note : radio_->notes()) notes_.push_back(note);

  status_.radio = radio_->found().text();
  status_.frequency = tune.frequency;
  status_.gain = *tune.gain;
  status_.rate = rate;
  status_.waveformSamples = prepared_->waveform.samples.size();
  status_.rfOn = request.settings.rfOn;
  status_.playing = request.settings.rfOn;
  if (!request.settings.rfOn) status_.reason = "RF off";
  thread_ = std::thread([this] { run(); });
}

LoopPlayer::~LoopPlayer() { stop("the player closed"); }

double LoopPlayer::heldGain(double gain) {
  const double held = std::clamp(gain, gainRange_->first, gainRange_->second);
  if (held != gain)
    notes_.push_back("the gain " + rt::shortestText(gain) + " dB lies beyond the radio's range of " +
                     rt::shortestText(gainRange_->first) + " to " + rt::shortestText(gainRange_->second) +
                     " dB: set to " + rt::shortestText(held) + " dB");
  return held;
}

void LoopPlayer::change(const LoopSettings& settings) {
  std::unique_lock lock(mutex_);
  if (status_.stopped) throw RadioError("the radio " + status_.radio + " stopped playing: " + status_.reason);
  pending_ = settings;
  changeError_.clear();
  interrupt_ = true;
  changed_.notify_all();
  if (!changed_.wait_for(lock, kChangeWait, [this] { return !pending_ || status_.stopped; }))
    throw RadioError("the radio " + status_.radio + " did not take the change within " +
                     std::to_string(std::chrono::duration_cast<std::chrono::seconds>(kChangeWait).count()) + " s");
  if (pending_) throw RadioError("the radio " + status_.radio + " stopped playing: " + status_.reason);
  if (!changeError_.empty()) throw RadioError(changeError_);
}

void LoopPlayer::stop(const std::string& reason) {
  {
    const std::lock_guard lock(mutex_);
    if (!stopAsked_) stopReason_ = reason;
    stopAsked_ = true;
    interrupt_ = true;
    changed_.notify_all();
  }
  if (thread_.joinable()) thread_.join();
}

LoopStatus LoopPlayer::status() const {
  const std::lock_guard lock(mutex_);
  return status_;
}

std::vector<std::string> LoopPlayer::takeNotes() {
  const std::lock_guard lock(mutex_);
  return std::exchange(notes_, {});
}

void LoopPlayer::run() {
  const NativeSamples& samples = prepared_->waveform.samples;
  std::unique_ptr<TxStream> stream;
  std::uint64_t sentBefore = 0, underflowsBefore = 0;  // by the streams closed before
  std::size_t position = 0;
  std::size_t notesTaken = radio_->notes().size();
  std::string failure;
  // Ends the burst of an RF off or a stop, counting what that stream sent.
  const auto closeStream = [&] {
    if (!stream) return;
    stream->closeBurst();
    sentBefore += stream->samplesSent();
    underflowsBefore += stream->underflows();
    stream.reset();
  };
  try {
    while (true) {
      bool rfOn = false;
      {
        std::unique_lock lock(mutex_);
        if (stopAsked_) break;
        if (pending_) {
          try {
            TuneSettings tune;
            tune.frequency = pending_->frequency;
            tune.gain = heldGain(pending_->gain);
            radio_->tune(Direction::Transmit, tune);
            status_.frequency = tune.frequency;
            status_.gain = *tune.gain;
          } catch (const RadioError& e) {
            changeError_ = e.what();
          }
          for (; notesTaken < radio_->notes().size(); ++notesTaken) notes_.push_back(radio_->notes()[notesTaken]);
          status_.rfOn = pending_->rfOn;
          status_.reason = pending_->rfOn ? "" : "RF off";
          pending_.reset();
          changed_.notify_all();
        }
        interrupt_ = false;
        rfOn = status_.rfOn;
        status_.playing = rfOn;
        if (!rfOn && !stream) {
          changed_.wait_for(lock, kCallWait, [this] { return pending_ || stopAsked_; });
          continue;
        }
      }
      if (!rfOn) {
        closeStream();
        continue;
      }
      if (!stream) {
        stream = std::make_unique<TxStream>(*radio_, prepared_->format);
        position = 0;  // RF on plays the waveform from its start, as a signal generator's output does
      }
      const std::size_t n = std::min(stream->mtu(), samples.size() - position);
      position = (position + stream->write(samples, position, n, false, interrupt_)) % samples.size();
      const std::lock_guard lock(mutex_);
      status_.samplesSent = sentBefore + stream->samplesSent();
      status_.underflows = underflowsBefore + stream->underflows();
    }
    closeStream();
  } catch (const std::exception& e) {
    failure = e.what();
  }
  // The stream and the radio go here, on every path: a radio that failed is let go at once.
  stream.reset();
  radio_.reset();
  const std::lock_guard lock(mutex_);
  status_.samplesSent = std::max<std::uint64_t>(status_.samplesSent, sentBefore);
  status_.playing = false;
  status_.stopped = true;
  status_.failed = !failure.empty();
  status_.reason = failure.empty() ? stopReason_ : failure;
  changed_.notify_all();
}

}  // namespace dot11b::sdr

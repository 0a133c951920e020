// SPDX-License-Identifier: GPL-3.0-or-later
// A radio as the signal generator, for the calling forms (in the radio module): the waveform a Download
// gives a radio is kept, as a signal generator's memory keeps it; the playback set-up starts it in a loop
// in the background, or changes the frequency, gain and RF output of the loop that plays; the status
// tells how it plays and why it stopped. One radio plays at a time in a process.
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "runtime/binding.h"
#include "runtime/shortest_text.h"
#include "sdr/loop_player.h"
#include "sdr/radio.h"
#include "settings_record.h"

namespace dot11b::rt {

namespace {

// The radio of a connection record, as the library's instrument routines hand it over (args, antenna,
// channel, offset: checked by them).
struct RadioInputs {
  std::string args, antenna;
  std::size_t channel = 0;
  double offset = 0;
};

RadioInputs radioInputs(const Value& record, std::string_view routine) {
  SettingsRecord r(record, routine, "radio");
  RadioInputs radio;
  radio.args = r.text("args").value_or("");
  radio.antenna = r.text("antenna").value_or("");
  radio.channel = static_cast<std::size_t>(r.number("channel").value_or(0));
  radio.offset = r.number("offset").value_or(0);
  r.expectAllRead();
  return radio;
}

// What the process plays: the waveform last downloaded, and the loop that plays it.
struct Playback {
  std::mutex mutex;
  ComplexRow waveform;
  unsigned long download = 0;  // counts the Downloads: a loop plays the waveform of one
  std::unique_ptr<sdr::LoopPlayer> player;
  // What a loop cannot change while it plays: a change of one starts it anew.
  std::string args, antenna;
  std::size_t channel = 0;
  double frameRate = 0;
  unsigned long playing = 0;  // the Download it plays
  sdr::LoopStatus last;       // of the loop that ended
};

Playback& playback() {
  static Playback p;
  return p;
}

Values reply(double status, const std::string& description) {
  return {Value::scalar(status), Value::text(description)};
}

void stopLocked(Playback& p, const std::string& reason) {
  if (!p.player) return;
  p.player->stop(reason);
  p.last = p.player->status();
  p.player.reset();
}

// (radio, IQData): keeps the waveform; a loop that plays stops.
Values radioLoad(const Values& in, int) {
  const Inputs args(in, "Dot11b_RadioLoad");
  radioInputs(args.at(0, "radio"), "Dot11b_RadioLoad");
  ComplexRow waveform = args.complexVector(1, "IQData");
  if (waveform.empty()) return reply(1, "the waveform holds no samples; nothing was kept");
  Playback& p = playback();
  const std::lock_guard lock(p.mutex);
  stopLocked(p, "replaced by another Download");
  p.waveform = std::move(waveform);
  ++p.download;
  return reply(0, "");
}

double settingNumber(const Value& setting, const char* name, double fallback) {
  const Value* field = setting.findField(name);
  return field == nullptr ? fallback : toScalar(*field, {"Dot11b_RadioPlay", name});
}

std::string megahertz(double hz) { return shortestText(hz / 1e6) + " MHz"; }

// (radio, setting): plays the kept waveform at setting.SamplingRate, or changes the loop that plays it.
// setting.Amplitude [dBm] less radio.offset is the gain; setting.RFOutput 0 silences the radio.
Values radioPlay(const Values& in, int) {
  const Inputs args(in, "Dot11b_RadioPlay");
  const RadioInputs radio = radioInputs(args.at(0, "radio"), "Dot11b_RadioPlay");
  const Value& setting = args.record(1, "setting");
  sdr::LoopSettings settings;
  settings.frequency = settingNumber(setting, "Frequency", 0);
  settings.gain = settingNumber(setting, "Amplitude", 0) - radio.offset;
  settings.rfOn = settingNumber(setting, "RFOutput", 1) != 0;
  const double frameRate = settingNumber(setting, "SamplingRate", 0);

  Playback& p = playback();
  const std::lock_guard lock(p.mutex);
  if (p.waveform.empty()) return reply(1, "no waveform has been downloaded to the radio: Download first");
  try {
    const bool same = p.player && !p.player->status().stopped && p.playing == p.download && p.args == radio.args &&
                      p.antenna == radio.antenna && p.channel == radio.channel && p.frameRate == frameRate;
    if (same) {
      p.player->change(settings);
    } else {
      stopLocked(p, "started anew with other settings");
      sdr::LoopRequest request;
      request.args = radio.args;
      request.channel = radio.channel;
      request.antenna = radio.antenna;
      request.frame = p.waveform;
      request.frameRate = frameRate;
      request.settings = settings;
      p.player = std::make_unique<sdr::LoopPlayer>(request);
      p.args = radio.args;
      p.antenna = radio.antenna;
      p.channel = radio.channel;
      p.frameRate = frameRate;
      p.playing = p.download;
    }
  } catch (const std::exception& e) {
    return reply(1, e.what());
  }
  const sdr::LoopStatus status = p.player->status();
  std::string description = (settings.rfOn ? "Playing on the radio " : "RF off on the radio ") + status.radio + " at " +
                            megahertz(status.frequency) + ", " + shortestText(status.rate / 1e6) + " Msample/s, gain " +
                            shortestText(status.gain) + " dB";
  for (const std::string& note : p.player->takeNotes()) description += "\nNote: " + note;
  return reply(0, description);
}

// The loop's status as a record: radio, frequency, rate, gain, underflows, samples, rfOn, playing, stopped,
// failed and reason; radio "" when no loop has played.
Values radioStatus(const Values&, int) {
  Playback& p = playback();
  const std::lock_guard lock(p.mutex);
  const sdr::LoopStatus s = p.player ? p.player->status() : p.last;
  Value out = Value::record();
  out.setField("radio", Value::text(s.radio));
  out.setField("frequency", Value::scalar(s.frequency));
  out.setField("rate", Value::scalar(s.rate));
  out.setField("gain", Value::scalar(s.gain));
  out.setField("underflows", Value::scalar(static_cast<double>(s.underflows)));
  out.setField("samples", Value::scalar(static_cast<double>(s.samplesSent)));
  out.setField("rfOn", Value::scalar(s.rfOn ? 1 : 0));
  out.setField("playing", Value::scalar(s.playing ? 1 : 0));
  out.setField("stopped", Value::scalar(s.stopped || !p.player ? 1 : 0));
  out.setField("failed", Value::scalar(s.failed ? 1 : 0));
  out.setField("reason", Value::text(s.reason));
  return {std::move(out)};
}

// (reason): stops the loop that plays, if any, and releases its radio; returns the status after.
Values radioStop(const Values& in, int nargout) {
  const Inputs args(in, "Dot11b_RadioStop");
  const std::string reason = args.given(0) ? args.text(0, "reason") : "stopped";
  {
    Playback& p = playback();
    const std::lock_guard lock(p.mutex);
    stopLocked(p, reason);
  }
  return radioStatus({}, nargout);
}

// (radio): status 0 and the radio that the arguments find, or the reason none is found.
Values radioFind(const Values& in, int) {
  const Inputs args(in, "Dot11b_RadioFind");
  const RadioInputs radio = radioInputs(args.at(0, "radio"), "Dot11b_RadioFind");
  const std::vector<sdr::FoundRadio> found = sdr::findRadios(radio.args);
  if (found.size() == 1) return reply(0, "Found " + found.front().text());
  std::string list;
  for (const sdr::FoundRadio& r : found) list += "\n" + r.text();
  if (found.empty()) return reply(1, "no radio matches '" + radio.args + "'");
  return reply(1, "'" + radio.args + "' matches " + std::to_string(found.size()) +
                      " radios; name one by its serial:" + list);
}

void registerRadioPlayback(Registry& reg) {
  reg.add({"Dot11b_RadioLoad", "dot11b_RadioLoad", 1, 2, 2, radioLoad});
  reg.add({"Dot11b_RadioPlay", "dot11b_RadioPlay", 1, 2, 2, radioPlay});
  reg.add({"Dot11b_RadioStatus", "dot11b_RadioStatus", 1, 0, 1, radioStatus});
  reg.add({"Dot11b_RadioStop", "dot11b_RadioStop", 1, 1, 1, radioStop});
  reg.add({"Dot11b_RadioFind", "dot11b_RadioFind", 1, 1, 2, radioFind});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerRadioPlayback)

}  // namespace dot11b::rt

// SPDX-License-Identifier: GPL-3.0-or-later
// Playback set-up for the calling forms: ZELPlay and ZELPlay_c. Each command goes to the instrument I/O
// module as HwSend sends it, and HwReturnLocal's call ends the set-up; the calls are made directly, not
// through the routines by name, because the sequence runs as long work (beside a progress dialog with
// Cancel in the window), away from the library's globals.
#include <stdexcept>
#include <string>

#include "instrument_radio.h"
#include "instrument/io/module_loader.h"
#include "instrument/link/module_connection.h"
#include "instrument/link/module_link.h"
#include "instrument/link/playback.h"
#include "instrument/link/playback_commands.h"
#include "instrument/link/text_checks.h"
#include "runtime/binding.h"
#include "runtime/export_macros.h"
#include "toolkit/long_work.h"

namespace dot11b::rt {

namespace {

using instrument::LinkReply;

Values replyValues(const LinkReply& reply) { return {Value::scalar(reply.status), Value::text(reply.description)}; }

double settingField(const Value& setting, std::string_view routine, const char* name) {
  const Value* field = setting.findField(name);
  if (field == nullptr) {
    throw std::invalid_argument(std::string(routine) + ": the signal generator settings have no field '" + name + "'");
  }
  return toScalar(*field, {routine, std::string("setting.") + name});
}

// The fields a platform's command list uses; the others keep their defaults.
instrument::PlaybackSettings playbackSettings(const Value& setting, std::string_view routine, bool q6200t) {
  instrument::PlaybackSettings s;
  s.frequency = settingField(setting, routine, "Frequency");
  s.amplitude = settingField(setting, routine, "Amplitude");
  s.samplingRate = settingField(setting, routine, "SamplingRate");
  if (q6200t) {
    s.bbFilter = settingField(setting, routine, "BBfilter");
    s.scaling = settingField(setting, routine, "Scaling");
    s.modAtten = settingField(setting, routine, "ModAtten");
    s.alc = settingField(setting, routine, "ALC");
  } else if (setting.hasField("ReconFilter")) {
    // No settings panel edits ReconFilter and the start values lack it: without it the older
    // platform's filter is "through".
    s.reconFilter = settingField(setting, routine, "ReconFilter");
  }
  s.rfBlanking = settingField(setting, routine, "RFblanking");
  s.markerPolarity = settingField(setting, routine, "MarkerPolarity");
  s.arbRefSource = settingField(setting, routine, "ArbRefSource");
  return s;
}

Values playback(const Values& in, const char* routine, bool q6200t) {
  const Inputs args(in, routine);
  const std::string title = args.text(0, "FileName");
  const Value& setting = args.record(1, "setting");
  const Value& config = args.record(2, "config");
  // A radio plays what its download kept, under no title: the settings alone matter.
  if (onRadio(config)) return radioPlayback(setting, config);
  if (const auto problem = instrument::titleProblem(title)) {
    return replyValues({instrument::kRefusedStatus, std::string(routine) + ": " + *problem + "; nothing was sent"});
  }
  const instrument::PlaybackSettings s = playbackSettings(setting, routine, q6200t);
  const auto commands =
      q6200t ? instrument::playbackCommandsQ6200T(title, s) : instrument::playbackCommandsOlderPlatform(title, s);
  // Everything the work uses is prepared here, and a bad record or a missing module fails before
  // anything is sent.
  const instrument::ModuleConnection connection(instrument::formatConfig(config));
  const instrio::InstrioModule& module = instrio::InstrioModule::inUse();
  LinkReply reply;
  toolkit::longWork().run("Setting up the instrument", toolkit::WorkUnit::Commands, [&](toolkit::Progress& progress) {
    instrument::ModuleLink link(module, connection, [&progress] { return progress.cancelled(); });
    reply = instrument::runPlayback(commands, link, [&progress](std::size_t sent, std::size_t total) {
      progress.report(sent, total);
      return !progress.cancelled();
    });
  });
  return replyValues(reply);
}

Values zelPlay(const Values& in, int) { return playback(in, "ZELPlay", false); }
Values zelPlayC(const Values& in, int) { return playback(in, "ZELPlay_c", true); }

void registerInstrumentPlayback(Registry& r) {
  r.add({"ZELPlay", "zELPlay", 1, 3, 2, zelPlay});
  r.add({"ZELPlay_c", "zELPlay_c", 1, 3, 2, zelPlayC});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerInstrumentPlayback)

}  // namespace dot11b::rt

DOT11B_EXPORT_2(ZELPlay, 3)
DOT11B_EXPORT_2(ZELPlay_c, 3)

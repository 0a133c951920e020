// Playback set-up for the calling forms: ZELPlay and ZELPlay_c. The commands go through HwSend and
// HwReturnLocal by name.
#include <stdexcept>
#include <string>

#include "instrument/link/playback.h"
#include "instrument/link/playback_commands.h"
#include "instrument/link/text_checks.h"
#include "runtime/binding.h"
#include "runtime/export_macros.h"

namespace dot11b::rt {

namespace {

using instrument::LinkReply;

Values replyValues(const LinkReply& reply) { return {Value::scalar(reply.status), Value::text(reply.description)}; }

LinkReply replyOf(const Values& out) {
  LinkReply reply;
  if (!out.empty()) reply.status = static_cast<int32_t>(toScalar(out[0], {"HwSend", "status"}));
  if (out.size() > 1 && out[1].isText()) reply.description = out[1].toUtf8();
  return reply;
}

// The instrument reached through the bus routines with one connection record.
class RegistryLink final : public instrument::InstrumentLink {
 public:
  explicit RegistryLink(const Value& config) : config_(config) {}
  LinkReply send(const std::string& command) override {
    return replyOf(callByName("HwSend", {config_, Value::text(command)}, 2));
  }
  LinkReply returnToLocal() override { return replyOf(callByName("HwReturnLocal", {config_}, 2)); }

 private:
  const Value& config_;
};

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
  if (const auto problem = instrument::titleProblem(title)) {
    return replyValues({instrument::kRefusedStatus, std::string(routine) + ": " + *problem + "; nothing was sent"});
  }
  const instrument::PlaybackSettings s = playbackSettings(setting, routine, q6200t);
  const auto commands = q6200t ? instrument::playbackCommandsQ6200T(title, s) : instrument::playbackCommandsOlderPlatform(title, s);
  RegistryLink link(config);
  return replyValues(instrument::runPlayback(commands, link));
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

// SPDX-License-Identifier: GPL-3.0-or-later
// CompareStruct and SaveFlarevaneWaveform for the calling forms.
#include "runtime/binding.h"
#include "files/iq16_file.h"
#include "runtime/export_macros.h"
#include "settings/compare_struct.h"

namespace dot11b::rt {

namespace {

Values compareStruct(const Values& in, int) {
  constexpr std::string_view r = "CompareStruct";
  const Value& a = input(in, 0, {r, "a"});
  const Value& b = input(in, 1, {r, "b"});
  return {Value::scalar(settings::compareStruct(a, b) ? 1 : 0)};
}

// v; v, filename; or v, filename, scale. Any other number of inputs writes nothing and gives 0.
Values saveFlarevaneWaveform(const Values& in, int) {
  constexpr std::string_view r = "SaveFlarevaneWaveform";
  if (in.empty() || in.size() > 3) return {Value::scalar(0)};
  const auto samples = toComplexVector(in[0], {r, "v"});
  const std::string filename = given(in, 1) ? toText(in[1], {r, "filename"}) : files::kDefaultIq16FileName;
  const double scale = given(in, 2) ? toScalar(in[2], {r, "scale"}) : 1.0;
  return {Value::scalar(files::saveIq16File(filename, samples, scale).success ? 1 : 0)};
}

void registerFiles(Registry& reg) {
  reg.add({"CompareStruct", "compareStruct", 1, 2, 1, compareStruct});
  reg.add({"SaveFlarevaneWaveform", "saveFlarevaneWaveform", 1, kVariable, 1, saveFlarevaneWaveform});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerFiles)

}  // namespace dot11b::rt

DOT11B_EXPORT_1(CompareStruct, 2)
DOT11B_EXPORT_VARARGIN(SaveFlarevaneWaveform)

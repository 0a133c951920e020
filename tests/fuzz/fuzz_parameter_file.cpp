// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes given as a parameter file are refused with a message or give a record the
// generator can take; they never crash, hang or exhaust memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "files/parameter_files.h"
#include "settings/calculate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dot11b::files;
  using namespace dot11b::settings;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const ParameterFileContents contents = parseParameterFile(bytes, "fuzz.mat", "dot11b - Format 1.0");
  if (contents.problem == ParameterFileProblem::None) {
    // An accepted record converts to the generator's settings without surprises.
    frameSettings(contents.parameters);
    payloadSettings(contents.parameters);
  } else if (contents.message.empty()) {
    std::abort();  // every refusal says why
  }
  return 0;
}

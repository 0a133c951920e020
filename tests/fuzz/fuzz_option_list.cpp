// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any list of arguments (one a line) given to the frame options of `dot11b generate`,
// `estimate` and `transmit` and to the signal generator options of `download` is taken or refused with a
// std::invalid_argument whose message says why in a bounded length; never a crash, a hang, another
// exception, or an allocation that grows with a number the user typed. --params is left out: it reads a
// file, which the parameter-file target covers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>

#include "frame_options.h"
#include "settings/start_values.h"
#include "sig_gen_options.h"

namespace {

// Long enough for the list of settable fields that an unknown field gets, short of a repeated input.
constexpr std::size_t kLongestMessage = 4096;

// One argument a line; a NUL ends an argument too, as it ends every argument a program is given.
dot11b::cli::Args argumentsOf(std::string_view text) {
  dot11b::cli::Args args;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find_first_of(std::string_view("\n\0", 2), start), text.size());
    args.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return args;
}

void expectMessage(const std::exception& e) {
  const std::size_t length = std::string_view(e.what()).size();
  if (length == 0 || length > kLongestMessage) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace dot11b::cli;
  Args args = argumentsOf(std::string_view(reinterpret_cast<const char*>(data), size));
  for (const std::string& a : args)
    if (a.rfind("--params", 0) == 0) return 0;
  try {
    Args rest;
    FrameOptions frame;
    frame.parameters = dot11b::settings::initialParameters();
    const dot11b::rt::Value settings = sigGenSettingsFromOptions(frame.parameters, args, rest);
    (void)settings;
    frame = takeFrameOptions(rest);
  } catch (const std::invalid_argument& e) {
    expectMessage(e);
  }
  return 0;
}

// SPDX-License-Identifier: GPL-3.0-or-later
#include "impairment_options.h"

#include <cmath>
#include <stdexcept>

#include "parameter_options.h"
#include "runtime/number_text.h"
#include "runtime/shortest_text.h"
#include "runtime/value_range.h"
#include "sequence_options.h"

namespace dot11b::cli {

channel::Impairments takeImpairmentOptions(Args& args) {
  channel::Impairments im;
  im.snrDb = takeNumberOption(args, "--snr");
  const auto into = [&args](const char* name, double& field) {
    if (const auto value = takeNumberOption(args, name)) field = *value;
  };
  into("--cfo", im.cfoHz);
  into("--phase", im.phaseDeg);
  into("--clock-ppm", im.clockPpm);
  into("--iq-gain", im.iqGainDb);
  into("--iq-skew", im.iqSkewDeg);
  into("--multipath", im.multipathRmsNs);
  if (const std::string dc = takeOption(args, "--dc"); !dc.empty()) {
    const auto comma = dc.find(',');
    const auto i = comma == std::string::npos ? std::nullopt : rt::parseReal(dc.substr(0, comma));
    const auto q = comma == std::string::npos ? std::nullopt : rt::parseReal(dc.substr(comma + 1));
    if (!i || !q || !std::isfinite(*i) || !std::isfinite(*q))
      throw std::invalid_argument("--dc must be I,Q (two numbers), not '" + rt::echoed(dc) + "'");
    im.dc = {*i, *q};
  }
  if (const auto seed = takeSeedOption(args)) im.seed = *seed;
  return im;
}

std::optional<std::uint64_t> takeSeedOption(Args& args) {
  const auto seed = takeNumberOption(args, "--seed");
  if (!seed) return std::nullopt;
  if (*seed < 0 || *seed != std::floor(*seed) || *seed > 9007199254740992.0)
    throw std::invalid_argument("--seed must be a whole number from 0 to 2^53, not " + rt::shortestText(*seed));
  return static_cast<std::uint64_t>(*seed);
}

}  // namespace dot11b::cli

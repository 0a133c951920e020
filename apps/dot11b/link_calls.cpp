// SPDX-License-Identifier: GPL-3.0-or-later
#include "link_calls.h"

#include <algorithm>
#include <stdexcept>

#include "c_host.h"
#include "parameter_options.h"
#include "parameter_source.h"
#include "runtime/value_range.h"
#include "settings/instrument_uri.h"

namespace dot11b::cli {

LinkReply callLink(const char* routine, const std::vector<rt::Value>& inputs) {
  const std::vector<rt::Value> out = callRoutine(routine, inputs, 2);
  LinkReply reply;
  reply.status = out[0].scalarValue();
  if (out[1].isText()) reply.description = out[1].toUtf8();
  return reply;
}

rt::Value takeConfiguration(Args& args) {
  const std::string uri = takeOption(args, "--to");
  if (uri.empty()) throw std::invalid_argument("--to URI is required");
  return settings::configurationFromUri(uri);
}

const char* takePlaybackRoutine(Args& args) {
  const std::string platform = takeOption(args, "--platform");
  if (platform.empty() || platform == "c") return "ZELPlay_c";
  if (platform == "b") return "ZELPlay";
  throw std::invalid_argument("--platform must be c or b, not '" + rt::echoed(platform) + "'");
}

}  // namespace dot11b::cli

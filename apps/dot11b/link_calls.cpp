#include "link_calls.h"

#include <algorithm>
#include <stdexcept>

#include "c_host.h"
#include "parameter_options.h"
#include "parameter_source.h"

namespace dot11b::cli {

LinkReply callLink(const char* routine, const std::vector<rt::Value>& inputs) {
  const std::vector<rt::Value> out = callRoutine(routine, inputs, 2);
  LinkReply reply;
  reply.status = out[0].scalarValue();
  if (out[1].isText()) reply.description = out[1].toUtf8();
  return reply;
}

const char* playbackRoutine(const std::string& platform) { return platform == "c" ? "ZELPlay_c" : "ZELPlay"; }

}  // namespace dot11b::cli

#include "link_calls.h"

#include <algorithm>
#include <stdexcept>

#include "c_host.h"
#include "parameter_options.h"
#include "parameter_source.h"

namespace dot11b::cli {

LinkReply callLink(const char* routine, const std::vector<rt::Value>& inputs) {
  std::vector<dot11b_array*> in;
  for (const rt::Value& v : inputs) in.push_back(toHandle(v));
  dot11b_array* out[2] = {nullptr, nullptr};
  const int rc = dot11b_call(routine, 2, out, static_cast<int>(in.size()), in.data());
  for (dot11b_array* a : in) dot11b_free(a);
  if (rc != 0) throw std::runtime_error(dot11b_last_error());
  LinkReply reply;
  reply.status = fromHandle(out[0]).scalarValue();
  const rt::Value description = fromHandle(out[1]);
  if (description.isText()) reply.description = description.toUtf8();
  dot11b_free(out[0]);
  dot11b_free(out[1]);
  return reply;
}

const char* playbackRoutine(const std::string& platform) { return platform == "c" ? "ZELPlay_c" : "ZELPlay"; }

}  // namespace dot11b::cli

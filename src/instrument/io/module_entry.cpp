// SPDX-License-Identifier: GPL-3.0-or-later
// The exported C entry of libinstrIO.so.
#include "instrument/io/execute.h"
#include "instrument/io/instrio.h"

extern "C" INSTRIO_EXPORT int32_t instrio_execute(int32_t operation, const instrio_connection* connection,
                                                  const instrio_arguments* arguments,
                                                  instrio_text_sink response_sink, void* sink_context) {
  const dot11b::instrio::Outcome outcome = dot11b::instrio::execute(operation, connection, arguments);
  if (response_sink != nullptr) response_sink(sink_context, outcome.text.data(), outcome.text.size());
  return outcome.status;
}

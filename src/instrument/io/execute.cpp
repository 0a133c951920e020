// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/io/execute.h"

#include <new>
#include <optional>
#include <string>

#include "instrument/io/bus_error.h"
#include "instrument/io/connection.h"
#include "instrument/io/download_payload.h"
#include "instrument/io/operations.h"
#include "instrument/io/scpi_text.h"
#include "instrument/io/transfer_timeouts.h"

namespace dot11b::instrio {
namespace {

[[noreturn]] void refuse(const std::string& why) { throw BusError(INSTRIO_BAD_ARGUMENT, "instrIO: " + why); }

const instrio_arguments& requiredArguments(const instrio_arguments* arguments, int32_t operation) {
  if (arguments == nullptr) refuse("operation " + std::to_string(operation) + " needs arguments and none were given");
  return *arguments;
}

std::string commandText(const instrio_arguments* arguments, int32_t operation) {
  const char* text = requiredArguments(arguments, operation).text;
  if (text == nullptr) refuse("operation " + std::to_string(operation) + " needs a command text and none was given");
  checkCommandText(text);
  return text;
}

DownloadPayload downloadPayload(const instrio_arguments* arguments) {
  const instrio_arguments& a = requiredArguments(arguments, INSTRIO_DOWNLOAD);
  if (a.title == nullptr) refuse("download: no waveform title was given; nothing was sent");
  DownloadRequest request;
  request.i = a.i_samples;
  request.q = a.q_samples;
  request.sampleCount = a.sample_count;
  request.marker1 = a.marker1;
  request.marker2 = a.marker2;
  request.title = a.title;
  request.normalization = a.normalization != nullptr ? a.normalization : "";
  request.scale = a.scale;
  return buildDownloadPayload(request);
}

// The caller's progress callback as a cancel check while the module waits; nothing without one.
std::optional<TransferObserver> cancelCheck(const instrio_arguments* arguments) {
  if (arguments == nullptr || arguments->progress == nullptr) return std::nullopt;
  return TransferObserver(arguments->progress, arguments->progress_context, 0, 0);
}

const TransferObserver* orNull(const std::optional<TransferObserver>& observer) {
  return observer ? &*observer : nullptr;
}

Outcome run(int32_t operation, const instrio_connection* connection, const instrio_arguments* arguments) {
  const ConnectionSettings settings = readConnection(connection);
  const auto connectTimeout = baseTimeout();
  switch (operation) {
    case INSTRIO_PING: {
      const auto transport = openTransport(settings, Deadline(connectTimeout));
      return {INSTRIO_OK, ping(*transport)};
    }
    case INSTRIO_SEND: {
      const std::string command = commandText(arguments, operation);
      const auto cancel = cancelCheck(arguments);
      const auto transport = openTransport(settings, Deadline(connectTimeout), orNull(cancel));
      return {INSTRIO_OK, sendCommand(*transport, command, orNull(cancel))};
    }
    case INSTRIO_QUERY: {
      const std::string text = commandText(arguments, operation);
      const auto transport = openTransport(settings, Deadline(connectTimeout));
      return {INSTRIO_OK, query(*transport, text)};
    }
    case INSTRIO_DOWNLOAD: {
      const DownloadPayload payload = downloadPayload(arguments);
      const auto transport = openTransport(settings, Deadline(connectTimeout));
      download(*transport, payload, arguments->title, arguments->progress, arguments->progress_context);
      return {INSTRIO_OK, ""};
    }
    case INSTRIO_RETURN_LOCAL: {
      const auto cancel = cancelCheck(arguments);
      const auto transport = openTransport(settings, Deadline(connectTimeout), orNull(cancel));
      returnToLocal(*transport);
      return {INSTRIO_OK, ""};
    }
    default:
      refuse("operation code " + std::to_string(operation) +
             " is not one of 1 (ping), 2 (send), 3 (query), 4 (download), 5 (return to local)");
  }
}

}  // namespace

Outcome execute(int32_t operation, const instrio_connection* connection, const instrio_arguments* arguments) noexcept {
  try {
    return run(operation, connection, arguments);
  } catch (const BusError& e) {
    return {e.status(), e.what()};
  } catch (const std::bad_alloc&) {
    return {INSTRIO_INTERNAL_ERROR, "instrIO: out of memory"};
  } catch (const std::exception& e) {
    return {INSTRIO_INTERNAL_ERROR, std::string("instrIO: internal error: ") + e.what()};
  } catch (...) {
    return {INSTRIO_INTERNAL_ERROR, "instrIO: internal error"};
  }
}

}  // namespace dot11b::instrio

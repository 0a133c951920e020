#include "instrument/io/operations.h"

#include <optional>

#include "instrument/io/bus_error.h"
#include "instrument/io/scpi_text.h"
#include "instrument/io/transfer_timeouts.h"

namespace dot11b::instrio {
namespace {

constexpr const char* kErrorQuery = ":SYSTem:ERRor?";
// Errors read after a failure so that they are not blamed on the next command.
constexpr int kMaxQueuedErrorsDrained = 32;

std::string quoted(const std::string& text) {
  std::string out(1, '\'');  // built by appending: GCC 12 warns falsely on "'" + text + "'"
  out += printable(text);
  out += '\'';
  return out;
}

// Asks for the instrument's oldest error; returns its reply when the error number is not 0.
std::optional<std::string> next_error(Transport& transport, const Deadline& deadline) {
  transport.write_all(std::string(kErrorQuery) + "\n", Deadline(base_timeout()), quoted(kErrorQuery));
  const std::string reply = transport.read_line(deadline, quoted(kErrorQuery));
  const std::optional<long> number = error_number(reply);
  if (!number) {
    throw BusError(INSTRIO_BUS_ERROR, transport.address() + ": unexpected reply to " + quoted(kErrorQuery) + ": " + quoted(reply));
  }
  if (*number == 0) return std::nullopt;
  return reply;
}

// Fails with the first queued error, after reading the rest of the queue.
// reply_deadline: time allowed for the first reply (the instrument may still be storing data).
void check_instrument_errors(Transport& transport, const Deadline& reply_deadline) {
  const std::optional<std::string> first = next_error(transport, reply_deadline);
  if (!first) return;
  for (int drained = 0; drained < kMaxQueuedErrorsDrained; ++drained) {
    if (!next_error(transport, Deadline(base_timeout()))) break;
  }
  throw BusError(INSTRIO_INSTRUMENT_ERROR, *first);
}

}  // namespace

std::string ping(Transport& transport) {
  transport.write_all("*IDN?\n", Deadline(base_timeout()), "'*IDN?'");
  return transport.read_line(Deadline(base_timeout()), "'*IDN?'");
}

std::string send_command(Transport& transport, const std::string& command) {
  transport.write_all(command + "\n", Deadline(base_timeout()), quoted(command));
  std::string reply;
  if (is_query(command)) reply = transport.read_line(Deadline(base_timeout()), quoted(command));
  check_instrument_errors(transport, Deadline(base_timeout()));
  return reply;
}

std::string query(Transport& transport, const std::string& text) {
  transport.write_all(text + "\n", Deadline(base_timeout()), quoted(text));
  return transport.read_line(Deadline(base_timeout()), quoted(text));
}

void download(Transport& transport, const DownloadPayload& payload, const std::string& title) {
  const double rate = transport.min_bytes_per_second();
  const std::string name = "\"" + title + "\"";
  transport.write_all(payload.waveform_command, Deadline(block_timeout(payload.waveform_command.size(), rate)),
                      "the waveform data of " + name);
  transport.write_all(payload.marker_command, Deadline(block_timeout(payload.marker_command.size(), rate)),
                      "the marker data of " + name);
  // The instrument may still be storing the data when asked; allow for it as for the transfer.
  check_instrument_errors(transport, Deadline(block_timeout(payload.sample_bytes + payload.marker_bytes, rate)));
}

void return_to_local(Transport& transport) { transport.go_to_local(Deadline(base_timeout())); }

}  // namespace dot11b::instrio

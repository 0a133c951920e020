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
std::optional<std::string> nextError(Transport& transport, const Deadline& deadline) {
  transport.writeAll(std::string(kErrorQuery) + "\n", Deadline(baseTimeout()), quoted(kErrorQuery));
  const std::string reply = transport.readLine(deadline, quoted(kErrorQuery));
  const std::optional<long> number = errorNumber(reply);
  if (!number) {
    throw BusError(INSTRIO_BUS_ERROR, transport.address() + ": unexpected reply to " + quoted(kErrorQuery) + ": " + quoted(reply));
  }
  if (*number == 0) return std::nullopt;
  return reply;
}

// Fails with the first queued error, after reading the rest of the queue.
// replyDeadline: time allowed for the first reply (the instrument may still be storing data).
void checkInstrumentErrors(Transport& transport, const Deadline& replyDeadline) {
  const std::optional<std::string> first = nextError(transport, replyDeadline);
  if (!first) return;
  for (int drained = 0; drained < kMaxQueuedErrorsDrained; ++drained) {
    if (!nextError(transport, Deadline(baseTimeout()))) break;
  }
  throw BusError(INSTRIO_INSTRUMENT_ERROR, *first);
}

}  // namespace

std::string ping(Transport& transport) {
  transport.writeAll("*IDN?\n", Deadline(baseTimeout()), "'*IDN?'");
  return transport.readLine(Deadline(baseTimeout()), "'*IDN?'");
}

std::string sendCommand(Transport& transport, const std::string& command) {
  transport.writeAll(command + "\n", Deadline(baseTimeout()), quoted(command));
  std::string reply;
  if (isQuery(command)) reply = transport.readLine(Deadline(baseTimeout()), quoted(command));
  checkInstrumentErrors(transport, Deadline(baseTimeout()));
  return reply;
}

std::string query(Transport& transport, const std::string& text) {
  transport.writeAll(text + "\n", Deadline(baseTimeout()), quoted(text));
  return transport.readLine(Deadline(baseTimeout()), quoted(text));
}

void download(Transport& transport, const DownloadPayload& payload, const std::string& title,
              instrio_progress_fn progress, void* progressContext) {
  const double rate = transport.minBytesPerSecond();
  const std::string name = "\"" + title + "\"";
  const std::uint64_t total = payload.waveformCommand.size() + payload.markerCommand.size();
  const TransferObserver waveform(progress, progressContext, 0, total);
  const TransferObserver markers(progress, progressContext, payload.waveformCommand.size(), total);
  transport.writeAll(payload.waveformCommand, Deadline(blockTimeout(payload.waveformCommand.size(), rate)),
                     "the waveform data of " + name, progress != nullptr ? &waveform : nullptr);
  transport.writeAll(payload.markerCommand, Deadline(blockTimeout(payload.markerCommand.size(), rate)),
                     "the marker data of " + name, progress != nullptr ? &markers : nullptr);
  // The instrument may still be storing the data when asked; allow for it as for the transfer.
  checkInstrumentErrors(transport, Deadline(blockTimeout(payload.sampleBytes + payload.markerBytes, rate)));
}

void returnToLocal(Transport& transport) { transport.goToLocal(Deadline(baseTimeout())); }

}  // namespace dot11b::instrio

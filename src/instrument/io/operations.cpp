// SPDX-License-Identifier: GPL-3.0-or-later
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
std::optional<std::string> nextError(Transport& transport, const Deadline& deadline, const TransferObserver* observer) {
  transport.writeAll(std::string(kErrorQuery) + "\n", Deadline(baseTimeout()), quoted(kErrorQuery));
  const std::string reply = transport.readLine(deadline, quoted(kErrorQuery), observer);
  const std::optional<long> number = errorNumber(reply);
  if (!number) {
    throw BusError(INSTRIO_BUS_ERROR,
                   transport.address() + ": unexpected reply to " + quoted(kErrorQuery) + ": " + quoted(reply));
  }
  if (*number == 0) return std::nullopt;
  return reply;
}

// Fails with `first`, the oldest queued error, after reading the rest of the queue.
[[noreturn]] void failWithQueuedErrors(Transport& transport, const std::string& first,
                                       const TransferObserver* observer) {
  for (int drained = 0; drained < kMaxQueuedErrorsDrained; ++drained) {
    if (!nextError(transport, Deadline(baseTimeout()), observer)) break;
  }
  throw BusError(INSTRIO_INSTRUMENT_ERROR, first);
}

// Fails with the first queued error, after reading the rest of the queue.
// replyDeadline: time allowed for the first reply.
void checkInstrumentErrors(Transport& transport, const Deadline& replyDeadline, const TransferObserver* observer) {
  if (const auto first = nextError(transport, replyDeadline, observer))
    failWithQueuedErrors(transport, *first, observer);
}

}  // namespace

std::string ping(Transport& transport) {
  transport.writeAll("*IDN?\n", Deadline(baseTimeout()), "'*IDN?'");
  return transport.readLine(Deadline(baseTimeout()), "'*IDN?'");
}

std::string sendCommand(Transport& transport, const std::string& command, const TransferObserver* observer) {
  transport.writeAll(command + "\n", Deadline(baseTimeout()), quoted(command));
  std::string reply;
  if (isQuery(command)) reply = transport.readLine(Deadline(baseTimeout()), quoted(command), observer);
  checkInstrumentErrors(transport, Deadline(baseTimeout()), observer);
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
  // What the user must learn from a broken or silent connection is whether the instrument holds the
  // waveform, not which of the module's questions went unanswered.
  // A line that moves nothing for the base time-out has failed, however much is left to send; a slow one
  // that keeps moving gets the time it needs. A bus that writes a block in one driver call (GPIB) cannot
  // tell, and gets a time-out scaled to the block instead.
  const auto blockDeadline = [&](std::size_t bytes) {
    return transport.waitsInSteps() ? Deadline::sinceLastByte(baseTimeout()) : Deadline(blockTimeout(bytes, rate));
  };
  try {
    transport.writeAll(payload.waveformCommand, blockDeadline(payload.waveformCommand.size()),
                       "the waveform data of " + name, progress != nullptr ? &waveform : nullptr);
    transport.writeAll(payload.markerCommand, blockDeadline(payload.markerCommand.size()),
                       "the marker data of " + name, progress != nullptr ? &markers : nullptr);
  } catch (const BusError& e) {
    if (e.status() != INSTRIO_CONNECTION_LOST) throw;
    throw BusError(INSTRIO_CONNECTION_LOST, std::string(e.what()) + "; the waveform transfer did not complete");
  }
  // The instrument may still be storing the data when asked; allow for it as for the transfer.
  const Deadline confirmation(blockTimeout(payload.sampleBytes + payload.markerBytes, rate));
  std::optional<std::string> refusal;
  try {
    refusal = nextError(transport, confirmation, nullptr);
  } catch (const BusError& e) {
    const std::string unconfirmed = transport.address() + ": the instrument did not confirm the waveform " + name;
    if (e.status() == INSTRIO_CONNECTION_LOST) {
      throw BusError(e.status(),
                     unconfirmed + " before the connection was closed; the waveform transfer did not complete");
    }
    if (e.status() == INSTRIO_TIMED_OUT) {
      throw BusError(e.status(), unconfirmed + " within " + std::to_string(confirmation.budgetMs()) +
                                     " ms; the waveform transfer may not have completed");
    }
    throw;
  }
  if (refusal) failWithQueuedErrors(transport, *refusal, nullptr);
}

void returnToLocal(Transport& transport) {
  transport.goToLocal(Deadline(baseTimeout()));
  if (!transport.localIsCommand()) return;
  // Checked as every other command: an error left in the queue would be blamed on the next connection's
  // first command.
  try {
    checkInstrumentErrors(transport, Deadline(baseTimeout()), nullptr);
  } catch (const BusError& e) {
    if (e.status() != INSTRIO_INSTRUMENT_ERROR) throw;
    throw BusError(e.status(),
                   transport.address() + ": the instrument refused the return to local control: " + e.what());
  }
}

}  // namespace dot11b::instrio

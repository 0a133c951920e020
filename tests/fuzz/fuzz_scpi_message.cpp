// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: any bytes a client sends the simulator, cut into reads of any sizes, are framed into
// messages and run; a message that is not understood becomes an error in the error queue. Nothing
// crashes, hangs or lets another exception out.
#include <cstddef>
#include <cstdint>
#include <string>

#include "instrument.h"
#include "message_framer.h"
#include "scpi_error.h"
#include "scpi_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  // The first byte sets the size of each read, as a connection delivers the stream in pieces.
  const std::size_t piece = 1 + data[0] % 64;
  const char* stream = reinterpret_cast<const char*>(data + 1);
  const std::size_t length = size - 1;

  sgsim::MessageFramer framer;
  sgsim::Instrument instrument("", 0);
  for (std::size_t at = 0; at < length; at += piece) {
    framer.feed(stream + at, std::min(piece, length - at));
    while (const auto message = framer.nextMessage()) {
      try {
        sgsim::parseMessage(*message);
      } catch (const sgsim::ScpiError&) {
        // refused with an SCPI error code, as the instrument reports it
      }
      instrument.handle(*message);
      sgsim::abbreviateBlocks(*message);
    }
  }
  // Whatever was sent, the error queue can still be read.
  instrument.handle(":SYST:ERR?");
  return 0;
}

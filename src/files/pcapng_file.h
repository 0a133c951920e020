// SPDX-License-Identifier: GPL-3.0-or-later
// Decoded 802.11 frames as a pcapng capture that Wireshark and tshark read: one section, one interface of
// link type 127 (IEEE 802.11 with a radiotap header), nanosecond timestamps, and an enhanced packet block
// per frame, written and flushed as soon as the frame is given, so that a reader at the other end of a
// pipe or FIFO sees each frame live.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace dot11b::files {

// The link type of IEEE 802.11 frames behind a radiotap header.
inline constexpr std::uint16_t kLinkTypeRadiotap = 127;
// The radiotap "dB antenna signal" has no sign: it holds the level in dB above this reference.
inline constexpr double kDbSignalReferenceDbfs = -100;

struct PcapngInterface {
  std::string name;         // if_name, e.g. "dot11b verify"
  std::string description;  // if_description, e.g. the radio or the file
};

// One frame as the receiver decoded it.
struct PcapngFrame {
  std::vector<std::uint8_t> psdu;       // the MAC frame as received, FCS included
  double rateMbps = 0;                  // 1, 2, 5.5 or 11; 0: unknown, no rate in the record
  bool fcsOk = false;                   // false sets radiotap's "bad FCS" flag
  bool shortPreamble = false;
  bool cck = false;                     // CCK at 5.5 or 11 Mbit/s: the channel's CCK flag
  bool pbcc = false;                    // PBCC: noted in the record's comment
  std::optional<double> frequencyHz;    // the carrier, when known: the channel field
  std::optional<double> levelDbfs;      // mean power over the frame, dB relative to a full-scale sample
  std::optional<double> levelDbm;       // the same in dBm, when a calibration gives it
  std::uint64_t timestampNs = 0;        // the frame's start, in ns since the Unix epoch
  std::string comment;                  // more to note, or ""
};

// Writing failed (unwritable path, full disk, a device error). The file holds every block written before.
struct PcapngError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
// The reader at the other end of the pipe or FIFO went away: nothing more can be written, nor needs to be.
struct PcapngReaderGone : PcapngError {
  using PcapngError::PcapngError;
};

class PcapngWriter {
 public:
  // Creates (or empties) the file at `path`, "-" meaning standard output, and writes the section header
  // and the interface. A FIFO opens once its reader does. Throws PcapngError naming the path.
  PcapngWriter(const std::string& path, const PcapngInterface& interface);
  // Writes to an open descriptor that stays the caller's.
  PcapngWriter(int fd, const PcapngInterface& interface);
  ~PcapngWriter();
  PcapngWriter(const PcapngWriter&) = delete;
  PcapngWriter& operator=(const PcapngWriter&) = delete;

  // One enhanced packet block with the frame behind its radiotap header. Throws PcapngReaderGone when the
  // pipe's reader has gone, PcapngError for any other failure; a block is either whole in a file or not
  // there at all.
  void write(const PcapngFrame& frame);
  // A record with no 802.11 frame, only a radiotap header (its "PLCP CRC failed" flag set) and `comment`:
  // for what was received of a frame whose PLCP header failed its check.
  void writeNote(std::uint64_t timestampNs, const std::string& comment, std::optional<double> levelDbfs = {},
                 std::optional<double> levelDbm = {});

  // True once the reader of a pipe or FIFO has gone (checked without writing, so that a capture with no
  // frames still ends when its reader quits); false for a file.
  bool readerGone() const;
  std::uint64_t records() const { return records_; }

 private:
  void writeBlock(const std::vector<std::uint8_t>& block);

  int fd_ = -1;
  bool ownsFd_ = false;
  std::string path_;           // as messages name it
  std::uint64_t written_ = 0;  // where the last whole block ends in a file
  std::uint64_t records_ = 0;  // enhanced packet blocks written
};

// The bytes of a radiotap header for `frame` (for tests and for blocks): flags, rate, channel, signal.
std::vector<std::uint8_t> radiotapHeader(const PcapngFrame& frame, bool plcpFailed = false);

}  // namespace dot11b::files

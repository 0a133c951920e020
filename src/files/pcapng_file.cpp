// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/pcapng_file.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>

namespace dot11b::files {

namespace {

// pcapng block types and option codes.
constexpr std::uint32_t kSectionHeader = 0x0A0D0D0A, kInterfaceDescription = 1, kEnhancedPacket = 6;
constexpr std::uint32_t kByteOrderMagic = 0x1A2B3C4D;
constexpr std::uint16_t kOptEnd = 0, kOptComment = 1, kShbUserApplication = 4, kIfName = 2, kIfDescription = 3,
                        kIfTsresol = 9;

// Radiotap: present bits, flags and the channel's flags.
constexpr std::uint32_t kPresentFlags = 1u << 1, kPresentRate = 1u << 2, kPresentChannel = 1u << 3,
                        kPresentDbmSignal = 1u << 5, kPresentDbSignal = 1u << 12, kPresentRxFlags = 1u << 14;
constexpr std::uint8_t kFlagShortPreamble = 0x02, kFlagFcsAtEnd = 0x10, kFlagBadFcs = 0x40;
constexpr std::uint16_t kChannelCck = 0x0020, kChannel2Ghz = 0x0080;
constexpr std::uint16_t kRxFlagBadPlcp = 0x0002;

// Little-endian bytes, as the byte-order magic of the section says.
class Bytes {
 public:
  void u8(std::uint8_t v) { b_.push_back(v); }
  void u16(std::uint16_t v) {
    for (int k = 0; k < 2; ++k) b_.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
  }
  void u32(std::uint32_t v) {
    for (int k = 0; k < 4; ++k) b_.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
  }
  void raw(const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    b_.insert(b_.end(), p, p + n);
  }
  void alignTo(std::size_t n) {
    while (b_.size() % n) b_.push_back(0);
  }
  void put16(std::size_t at, std::uint16_t v) {
    b_[at] = static_cast<std::uint8_t>(v);
    b_[at + 1] = static_cast<std::uint8_t>(v >> 8);
  }
  void put32(std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) b_[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v >> (8 * k));
  }
  void option(std::uint16_t code, const void* data, std::size_t n) {
    u16(code);
    u16(static_cast<std::uint16_t>(n));
    raw(data, n);
    alignTo(4);
  }
  void option(std::uint16_t code, const std::string& text) {
    // An option holds at most 65535 bytes; a longer text is cut at a character's start.
    std::size_t n = std::min<std::size_t>(text.size(), 0xFFF0);
    while (n < text.size() && n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    if (n > 0) option(code, text.data(), n);
  }
  std::size_t size() const { return b_.size(); }
  std::vector<std::uint8_t>& bytes() { return b_; }

 private:
  std::vector<std::uint8_t> b_;
};

// A block: type, length, body, length again.
std::vector<std::uint8_t> block(std::uint32_t type, const std::vector<std::uint8_t>& body) {
  Bytes b;
  const auto length = static_cast<std::uint32_t>(body.size() + 12);
  b.u32(type);
  b.u32(length);
  b.raw(body.data(), body.size());
  b.u32(length);
  return std::move(b.bytes());
}

std::vector<std::uint8_t> sectionHeader() {
  Bytes b;
  b.u32(kByteOrderMagic);
  b.u16(1);  // version 1.0
  b.u16(0);
  b.u32(0xFFFFFFFF);  // section length not given
  b.u32(0xFFFFFFFF);
  b.option(kShbUserApplication, std::string("dot11b-wavegen"));
  b.u32(kOptEnd);
  return block(kSectionHeader, b.bytes());
}

std::vector<std::uint8_t> interfaceDescription(const PcapngInterface& interface) {
  Bytes b;
  b.u16(kLinkTypeRadiotap);
  b.u16(0);
  b.u32(0);  // no snapshot length limit
  b.option(kIfName, interface.name);
  b.option(kIfDescription, interface.description);
  const std::uint8_t nanoseconds = 9;
  b.option(kIfTsresol, &nanoseconds, 1);
  b.u32(kOptEnd);
  return block(kInterfaceDescription, b.bytes());
}

std::vector<std::uint8_t> enhancedPacket(std::uint64_t timestampNs, const std::vector<std::uint8_t>& packet,
                                         const std::string& comment) {
  Bytes b;
  b.u32(0);  // interface 0
  b.u32(static_cast<std::uint32_t>(timestampNs >> 32));
  b.u32(static_cast<std::uint32_t>(timestampNs));
  b.u32(static_cast<std::uint32_t>(packet.size()));
  b.u32(static_cast<std::uint32_t>(packet.size()));
  b.raw(packet.data(), packet.size());
  b.alignTo(4);
  if (!comment.empty()) {
    b.option(kOptComment, comment);
    b.u32(kOptEnd);
  }
  return block(kEnhancedPacket, b.bytes());
}

std::uint8_t dbSignal(double levelDbfs) {
  return static_cast<std::uint8_t>(std::clamp(std::lround(levelDbfs - kDbSignalReferenceDbfs), 0L, 255L));
}

std::int8_t dbmSignal(double levelDbm) { return static_cast<std::int8_t>(std::clamp(std::lround(levelDbm), -128L, 127L)); }

// Writes all of `data`, or as much as the descriptor takes before an error (errno set).
bool writeAll(int fd, const std::uint8_t* data, std::size_t n, std::size_t& done) {
  done = 0;
  while (done < n) {
    const ssize_t w = ::write(fd, data + done, n - done);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    done += static_cast<std::size_t>(w);
  }
  return true;
}

// SIGPIPE held back while this thread writes, so that a reader going away is an EPIPE error and not the
// end of the process; a SIGPIPE raised here is taken before the old mask returns.
class PipeSignalHeld {
 public:
  PipeSignalHeld() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
  }
  ~PipeSignalHeld() {
    if (!wasPending_) {
      const timespec none{0, 0};
      while (sigtimedwait(&pipe_, nullptr, &none) == SIGPIPE) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }
  PipeSignalHeld(const PipeSignalHeld&) = delete;
  PipeSignalHeld& operator=(const PipeSignalHeld&) = delete;

 private:
  sigset_t pipe_{}, old_{};
  bool wasPending_ = false;
};

}  // namespace

std::vector<std::uint8_t> radiotapHeader(const PcapngFrame& frame, bool plcpFailed) {
  Bytes b;
  b.u8(0);   // version
  b.u8(0);   // pad
  b.u16(0);  // length, set below
  b.u32(0);  // present, set below
  std::uint32_t present = 0;
  if (!plcpFailed) {
    present |= kPresentFlags;
    std::uint8_t flags = frame.psdu.size() >= 4 ? kFlagFcsAtEnd : 0;
    if (frame.shortPreamble) flags |= kFlagShortPreamble;
    if (!frame.fcsOk) flags |= kFlagBadFcs;
    b.u8(flags);
    if (frame.rateMbps > 0) {
      present |= kPresentRate;
      b.u8(static_cast<std::uint8_t>(std::lround(frame.rateMbps * 2)));
    }
    const double mhz = frame.frequencyHz ? std::round(*frame.frequencyHz / 1e6) : 0;
    if (mhz >= 1 && mhz <= 0xFFFF) {
      present |= kPresentChannel;
      b.alignTo(2);
      b.u16(static_cast<std::uint16_t>(mhz));
      std::uint16_t channelFlags = frame.cck ? kChannelCck : 0;
      if (mhz >= 2000 && mhz < 3000) channelFlags |= kChannel2Ghz;
      b.u16(channelFlags);
    }
  }
  if (frame.levelDbm) {
    present |= kPresentDbmSignal;
    b.u8(static_cast<std::uint8_t>(dbmSignal(*frame.levelDbm)));
  }
  if (frame.levelDbfs) {
    present |= kPresentDbSignal;
    b.u8(dbSignal(*frame.levelDbfs));
  }
  if (plcpFailed) {
    present |= kPresentRxFlags;
    b.alignTo(2);
    b.u16(kRxFlagBadPlcp);
  }
  b.put16(2, static_cast<std::uint16_t>(b.size()));
  b.put32(4, present);
  return std::move(b.bytes());
}

PcapngWriter::PcapngWriter(const std::string& path, const PcapngInterface& interface) : path_(path) {
  if (path == "-") {
    fd_ = STDOUT_FILENO;
    path_ = "standard output";
  } else {
    path_ = "'" + path + "'";
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) throw PcapngError("cannot write " + path_ + ": " + std::strerror(errno));
    ownsFd_ = true;
  }
  try {
    writeBlock(sectionHeader());
    writeBlock(interfaceDescription(interface));
  } catch (...) {
    if (ownsFd_) ::close(fd_);
    throw;
  }
}

PcapngWriter::PcapngWriter(int fd, const PcapngInterface& interface) : fd_(fd), path_("the capture's output") {
  const off_t at = ::lseek(fd, 0, SEEK_CUR);
  written_ = at > 0 ? static_cast<std::uint64_t>(at) : 0;
  writeBlock(sectionHeader());
  writeBlock(interfaceDescription(interface));
}

PcapngWriter::~PcapngWriter() {
  if (ownsFd_) ::close(fd_);
}

void PcapngWriter::write(const PcapngFrame& frame) {
  std::vector<std::uint8_t> packet = radiotapHeader(frame);
  packet.insert(packet.end(), frame.psdu.begin(), frame.psdu.end());
  std::string comment = frame.pbcc ? "PBCC" : "";
  if (!frame.comment.empty()) comment += (comment.empty() ? "" : "; ") + frame.comment;
  writeBlock(enhancedPacket(frame.timestampNs, packet, comment));
  ++records_;
}

void PcapngWriter::writeNote(std::uint64_t timestampNs, const std::string& comment, std::optional<double> levelDbfs,
                             std::optional<double> levelDbm) {
  PcapngFrame frame;
  frame.levelDbfs = levelDbfs;
  frame.levelDbm = levelDbm;
  writeBlock(enhancedPacket(timestampNs, radiotapHeader(frame, true), comment));
  ++records_;
}

bool PcapngWriter::readerGone() const {
  pollfd watched{fd_, 0, 0};
  return ::poll(&watched, 1, 0) > 0 && (watched.revents & (POLLERR | POLLHUP)) != 0;
}

void PcapngWriter::writeBlock(const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  bool ok = false;
  int error = 0;
  {
    const PipeSignalHeld held;
    errno = 0;
    ok = writeAll(fd_, bytes.data(), bytes.size(), done);
    error = errno;
  }
  if (ok) {
    written_ += bytes.size();
    return;
  }
  if (error == EPIPE) throw PcapngReaderGone("the reader of " + path_ + " has gone");
  // A block cut short is taken back from a file, so that what is there stays readable.
  struct stat st {};
  if (done > 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && ::ftruncate(fd_, static_cast<off_t>(written_)) == 0)
    ::lseek(fd_, static_cast<off_t>(written_), SEEK_SET);
  throw PcapngError("cannot write " + path_ + ": " + std::strerror(error ? error : EIO));
}

}  // namespace dot11b::files

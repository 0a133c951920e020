// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <sstream>

#include "files/pcapng_file.h"
#include "test_support.h"

namespace dot11b::files {
namespace {

// A data frame to the broadcast address with sequence number 42, "hello" and its FCS.
const std::vector<std::uint8_t> kDataFrame = {0x08, 0x02, 0x00, 0x00, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x02,
                                              0x00, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00, 0x00, 0x00, 0x00, 0x01,
                                              0xa0, 0x02, 0x68, 0x65, 0x6c, 0x6c, 0x6f, 0x1f, 0x79, 0x08, 0x81};

PcapngFrame frame(double rateMbps, bool fcsOk) {
  PcapngFrame f;
  f.psdu = kDataFrame;
  if (!fcsOk) f.psdu.back() ^= 0x01;
  f.rateMbps = rateMbps;
  f.fcsOk = fcsOk;
  f.cck = rateMbps > 2;
  return f;
}

// tshark's fields of every record of `path`, with the FCS checked: one line per record, tab-separated.
std::string tsharkFields(const std::string& path, const std::string& fields) {
  std::string command = "(tshark -r " + test::shellQuoted(path) + " -o wlan.check_checksum:TRUE -T fields";
  std::istringstream names(fields);
  for (std::string name; names >> name;) command += " -e " + name;
  const test::CommandResult r = test::runCommand(command + " 2>/dev/null)");
  EXPECT_EQ(r.status, 0) << r.output;
  return r.output;
}

TEST(PcapngFile, RadiotapHeaderHoldsFlagsRateChannelAndLevel) {
  PcapngFrame f = frame(11, false);
  f.shortPreamble = true;
  f.frequencyHz = 2437e6;
  f.levelDbfs = -20.4;
  // present: flags, rate, channel, dB antenna signal; flags: short preamble, FCS at end, bad FCS; rate 22 x
  // 500 kb/s; channel 2437 MHz, CCK and 2 GHz; signal 80 dB above -100 dBFS.
  EXPECT_EQ(radiotapHeader(f), (std::vector<std::uint8_t>{0, 0, 15, 0, 0x0e, 0x10, 0, 0, 0x52, 22, 0x85, 0x09, 0xa0,
                                                           0x00, 80}));
  PcapngFrame calibrated = frame(1, true);
  calibrated.frequencyHz = 915e6;  // no 2 GHz flag away from the band
  calibrated.levelDbm = -63.6;
  EXPECT_EQ(radiotapHeader(calibrated),
            (std::vector<std::uint8_t>{0, 0, 15, 0, 0x2e, 0, 0, 0, 0x10, 2, 0x93, 0x03, 0x00, 0x00, 0xc0}));
  EXPECT_EQ(radiotapHeader(PcapngFrame{}, true), (std::vector<std::uint8_t>{0, 0, 10, 0, 0, 0x40, 0, 0, 0x02, 0}));
}

TEST(PcapngFile, TsharkReadsEveryFrameAsWritten) {
  test::ScratchDir dir;
  const std::string path = dir / "frames.pcapng";
  {
    PcapngWriter writer(path, {"dot11b verify", "test frames"});
    PcapngFrame good = frame(1, true);
    good.frequencyHz = 2412e6;
    good.timestampNs = 1'700'000'000'123'456'789ull;
    writer.write(good);
    PcapngFrame bad = frame(11, false);
    bad.shortPreamble = true;
    bad.frequencyHz = 2412e6;
    bad.timestampNs = good.timestampNs + 1000;
    writer.write(bad);
    PcapngFrame pbcc = frame(5.5, true);
    pbcc.cck = false;
    pbcc.pbcc = true;
    pbcc.timestampNs = good.timestampNs + 2000;
    writer.write(pbcc);
    writer.writeNote(good.timestampNs + 3000, "PLCP header CRC failed");
    EXPECT_EQ(writer.records(), 4u);
  }
  EXPECT_EQ(tsharkFields(path, "frame.time_epoch wlan.fcs.status radiotap.datarate radiotap.channel.freq "
                               "radiotap.flags.preamble wlan.seq wlan.sa frame.comment"),
            "1700000000.123456789\t1\t1\t2412\t0\t42\t02:00:00:00:00:01\t\n"
            "1700000000.123457789\t0\t11\t2412\t1\t42\t02:00:00:00:00:01\t\n"
            "1700000000.123458789\t1\t5.5\t\t0\t42\t02:00:00:00:00:01\tPBCC\n"
            "1700000000.123459789\t\t\t\t\t\t\tPLCP header CRC failed\n");
}

TEST(PcapngFile, UnwritablePathIsNamed) {
  try {
    PcapngWriter writer("/nonexistent-folder/x.pcapng", {});
    FAIL() << "no error";
  } catch (const PcapngError& e) {
    EXPECT_NE(std::string(e.what()).find("'/nonexistent-folder/x.pcapng'"), std::string::npos) << e.what();
  }
}

TEST(PcapngFile, ReaderGoneIsToldApartAndTheProcessLives) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  PcapngWriter writer(fds[1], {});
  ::close(fds[0]);
  EXPECT_THROW(writer.write(frame(2, true)), PcapngReaderGone);
  ::close(fds[1]);
}

TEST(PcapngFile, FullDiskKeepsEveryWholeBlock) {
  test::ScratchDir dir;
  const std::string path = dir / "full.pcapng";
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 300;  // the headers and a frame fit, not a third
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  std::size_t written = 0;
  try {
    PcapngWriter writer(path, {});
    for (;; ++written) writer.write(frame(2, true));
  } catch (const PcapngReaderGone&) {
    ADD_FAILURE() << "a file has no reader to lose";
  } catch (const PcapngError& e) {
    EXPECT_NE(std::string(e.what()).find("full.pcapng"), std::string::npos) << e.what();
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldSignal);
  ASSERT_GE(written, 1u);
  std::string expected;
  for (std::size_t k = 0; k < written; ++k) expected += "1\n";  // good
  EXPECT_EQ(tsharkFields(path, "wlan.fcs.status"), expected);
}

}  // namespace
}  // namespace dot11b::files

// SPDX-License-Identifier: GPL-3.0-or-later
// "Open in Wireshark" of Verify Frame: where the frames go, and what the user is told.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <iterator>

#include "fake_toolkit.h"
#include "toolkit/scripted_dialogs.h"
#include "windows/wireshark_opening.h"

namespace dot11b::windows_test {
namespace {

// One 1 Mbit/s frame as the receiver reports it: an ACK-sized PSDU of 14 octets.
rx::Verification oneFrame() {
  rx::Verification v;
  v.sampleRate = 22e6;
  rx::ReceivedFrame f;
  f.header.signal = 10;
  f.header.length = 112;
  f.header.crcOk = true;
  f.modulation = "DBPSK";
  f.psdu.assign(14 * 8, 0);
  f.psduComplete = true;
  v.frames.push_back(f);
  v.levelsDb.push_back(-3);
  return v;
}

std::string bytesOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

class WiresharkOpening : public ::testing::Test {
 protected:
  void SetUp() override {
    toolkit::install(&fake);
    toolkit::setDialogs(&dialogs);
    char name[] = "/tmp/dot11b-wireshark-XXXXXX";
    folder = ::mkdtemp(name);
  }
  void TearDown() override {
    toolkit::setDialogs(nullptr);
    toolkit::install(nullptr);
    std::remove((folder + "/frames.pcapng").c_str());
    ::rmdir(folder.c_str());
  }
  FakeToolkit fake;
  toolkit::ScriptedDialogs dialogs;
  std::string folder;
};

TEST_F(WiresharkOpening, TheFramesGoBesideTheParameterFile) {
  EXPECT_EQ(windows::framesFileFor("/data/beacon.mat"), "/data/beacon.pcapng");
  EXPECT_EQ(windows::framesFileFor("/data.d/beacon"), "/data.d/beacon.pcapng");
  EXPECT_EQ(windows::framesFileFor(""), "dot11b_frames.pcapng");
}

TEST_F(WiresharkOpening, WritesTheFramesAndOpensThemOrSaysWhereTheyAre) {
  const std::string path = folder + "/frames.pcapng";
  windows::openInWireshark(oneFrame(), 2412e6, path);
  EXPECT_EQ(fake.opened, std::vector<std::string>{"wireshark " + path});
  EXPECT_TRUE(dialogs.shown().empty());
  // A section, an interface and one frame: 14 octets behind a radiotap header of 15.
  const std::string bytes = bytesOf(path);
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.substr(0, 4), std::string("\x0a\x0d\x0d\x0a", 4));
  EXPECT_NE(bytes.find(std::string("\x1d\x00\x00\x00\x1d\x00\x00\x00", 8)), std::string::npos);

  fake.programsInstalled = false;
  windows::openInWireshark(oneFrame(), std::nullopt, path);
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].kind, "message");
  EXPECT_NE(dialogs.shown()[0].text.find("Wireshark is not installed. The frames are in " + path), std::string::npos);

  dialogs.clear();
  windows::openInWireshark(oneFrame(), std::nullopt, folder + "/missing/frames.pcapng");
  ASSERT_EQ(dialogs.shown().size(), 1u);
  EXPECT_EQ(dialogs.shown()[0].kind, "error");
  EXPECT_NE(dialogs.shown()[0].text.find("missing/frames.pcapng"), std::string::npos) << dialogs.shown()[0].text;
}

}  // namespace
}  // namespace dot11b::windows_test

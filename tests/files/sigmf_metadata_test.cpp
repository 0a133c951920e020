// SPDX-License-Identifier: GPL-3.0-or-later
// The SigMF metadata of a generated waveform and of a radio recording, byte for byte: one writer serves
// both, and SDR tools and earlier files rely on its text.
#include <gtest/gtest.h>

#include "files/sigmf_file.h"
#include "files/sigmf_recording.h"
#include "test_support.h"

namespace dot11b::files {
namespace {

constexpr const char* kGeneratedMeta = R"({
  "global": {
    "core:datatype": "ci16_le",
    "core:sample_rate": 44000000.0,
    "core:version": "1.2.0",
    "core:description": "desc \"x\"",
    "core:recorder": "dot11b"
  },
  "captures": [
    {
      "core:sample_start": 0,
      "core:frequency": 2412000000.0
    }
  ],
  "annotations": [
    {
      "core:sample_start": 88,
      "core:sample_count": 12345,
      "core:freq_lower_edge": 2401000000.0,
      "core:freq_upper_edge": 2423000000.0,
      "core:label": "lab",
      "core:generator": "dot11b"
    }
  ]
}
)";

constexpr const char* kRecordingMeta = R"({
  "global": {
    "core:datatype": "ci16_le",
    "core:sample_rate": 20000000.0,
    "core:version": "1.2.0",
    "core:hw": "driver=loopback",
    "core:recorder": "dot11b",
    "core:description": "dot11b capture, gain 10 dB"
  },
  "captures": [
    {
      "core:sample_start": 0,
      "core:frequency": 2437000000.0,
      "core:datetime": "2024-05-01T12:34:56.789Z"
    },
    {
      "core:sample_start": 1000,
      "core:frequency": 2437000000.0
    },
    {
      "core:sample_start": 2000,
      "core:frequency": 2437000000.0
    }
  ],
  "annotations": []
}
)";

TEST(SigmfMetadata, OfAGeneratedWaveform) {
  test::ScratchDir dir;
  SigmfDescription d{44e6, 2412e6, 22e6, 88, 12345, "lab", "desc \"x\"", {}, {}};
  saveSigmf(dir / "g", Samples(4, Complex(0.5, -0.5)), d, {SampleFormat::CS16, 0});
  EXPECT_EQ(test::readBytes(dir / "g.sigmf-meta"), kGeneratedMeta);
  EXPECT_EQ(test::readBytes(dir / "g.sigmf-data").substr(0, 4), std::string("\xff\x7f\x01\x80", 4));
}

// An 8-bit radio's samples are kept as 16-bit ones at the same full scale; each loss starts a segment.
TEST(SigmfMetadata, OfARadioRecordingWithItsSegments) {
  test::ScratchDir dir;
  const std::string base = dir / "r";
  {
    Recording recording(base, SampleFormat::CS8);
    phy::NativeSamples block(SampleFormat::CS8, 1000);
    static_cast<std::int8_t*>(block.at(0))[0] = 5;
    static_cast<std::int8_t*>(block.at(0))[1] = -128;
    recording.append(block, 1000);
    recording.markGap();
    recording.append(block, 1000);
    recording.markGap();
    recording.markGap();
    recording.append(block, 500);
    recording.finish({20e6, 2437e6, "driver=loopback", "2024-05-01T12:34:56.789Z", "dot11b capture, gain 10 dB", ""});
    EXPECT_EQ(recording.samples(), 2500u);
  }
  EXPECT_EQ(test::readBytes(base + ".sigmf-meta"), kRecordingMeta);
  const std::string data = test::readBytes(base + ".sigmf-data");
  ASSERT_EQ(data.size(), 2500u * 4);
  EXPECT_EQ(data.substr(0, 4), std::string("\x00\x05\x00\x80", 4));
}

// A recording that never finishes leaves nothing, and an earlier one of the name stays whole.
TEST(SigmfMetadata, AnUnfinishedRecordingLeavesTheEarlierOne) {
  test::ScratchDir dir;
  const std::string base = dir / "r";
  test::writeBytes(base + ".sigmf-data", "old");
  {
    Recording recording(base, SampleFormat::CF32);
    recording.append(phy::NativeSamples(SampleFormat::CF32, 10), 10);
  }
  EXPECT_EQ(test::readBytes(base + ".sigmf-data"), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace dot11b::files

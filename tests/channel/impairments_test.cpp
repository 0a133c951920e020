// SPDX-License-Identifier: GPL-3.0-or-later
#include "channel/impairments.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <tuple>

#include "channel/stages.h"
#include "mac/mac_header.h"
#include "mac/payload.h"
#include "phy/frame.h"
#include "rx/receiver.h"

namespace dot11b::test {
namespace {

using channel::impair;
using channel::Impairments;
constexpr double kRate = 44e6;

// 11 Mbit/s, 1500 PN9 octets with MAC header and FCS, root raised cosine at 4 samples per chip, idle after.
const phy::Frame& longFrame() {
  static const phy::Frame frame = [] {
    mac::PayloadSettings payload;
    payload.dataSourceType = 5;
    payload.dataLength = 1500;
    payload.macHeaderActive = payload.fcsActive = true;
    payload.macHeaderBits = mac::defaultMacHeader().bitStream;
    return phy::generateFrame(mac::generatePayload(payload), {.idleSamples = 8000, .filterType = 2, .filterTaps = 64});
  }();
  return frame;
}

// What the noise of `im` adds to the long frame.
ComplexRow noiseOf(Impairments im) {
  const phy::Frame& frame = longFrame();
  ComplexRow noise = impair(frame.waveform, kRate, frame.marker2, im);
  im.snrDb.reset();
  const ComplexRow clean = impair(frame.waveform, kRate, frame.marker2, im);
  for (std::size_t n = 0; n < noise.size(); ++n) noise[n] -= clean[n];
  return noise;
}

TEST(Noise, LiesTheSetSnrBelowTheFrameAsItReachesTheNoiseInTheChipBandwidth) {
  for (const auto& [snr, seed] : {std::tuple{0.0, 7U}, std::tuple{12.0, 8U}, std::tuple{30.0, 9U}}) {
    const ComplexRow noise = noiseOf({.snrDb = snr, .multipathRmsNs = 100, .seed = seed});
    const ComplexRow frame = impair(longFrame().waveform, kRate, {}, {.multipathRmsNs = 100, .seed = seed});
    double signal = 0, noisePower = 0, frameSamples = 0;
    for (std::size_t n = 0; n < noise.size(); ++n) {
      noisePower += std::norm(noise[n]) / static_cast<double>(noise.size());
      if (longFrame().marker2[n]) signal += std::norm(frame[n]), ++frameSamples;
    }
    EXPECT_NEAR(10 * std::log10(signal / frameSamples / (noisePower * 11e6 / kRate)), snr, 0.2);
  }
}

TEST(Noise, TheSeedAloneDecidesTheDrawsAndTheChannelLeavesThemAlone) {
  Impairments im{.snrDb = 10, .cfoHz = 5e3, .clockPpm = 3, .iqGainDb = 0.5, .iqSkewDeg = 2, .dc = {0.01, 0}};
  const ComplexRow flat = impair(longFrame().waveform, kRate, longFrame().marker2, im);
  EXPECT_TRUE(flat == impair(longFrame().waveform, kRate, longFrame().marker2, im));
  EXPECT_FALSE(flat == impair(longFrame().waveform, kRate, longFrame().marker2, {.snrDb = 10, .seed = 2}));
  // With the channel the noise is the same draw, scaled to the frame's new power.
  const ComplexRow without = noiseOf(im);
  im.multipathRmsNs = 200;
  const ComplexRow with = noiseOf(im);
  const Complex scale = with[0] / without[0];
  EXPECT_NEAR(scale.imag(), 0, 1e-9);
  for (std::size_t n = 0; n < with.size(); n += 97) ASSERT_NEAR(std::abs(with[n] - scale * without[n]), 0, 1e-9) << n;
  // A seed's draws are pinned, so that a waveform saved with it can be made again by a later build.
  const Complex tap = channel::multipathTaps(kRate, 50, 1)[0], noisyOne = impair({1}, 11e6, {}, {.snrDb = 0})[0];
  EXPECT_LT(std::abs(tap - Complex(-0.43730232862325985, 0.27440465990658114)), 1e-15);
  EXPECT_LT(std::abs(noisyOne - Complex(1.2842246317713317, -1.0829095747505826)), 1e-15);
  EXPECT_FALSE(Impairments{.seed = 5}.any());
  EXPECT_TRUE(impair(longFrame().waveform, kRate, {}, {.seed = 5}) == longFrame().waveform);
}

TEST(Noise, AddedBlockByBlockToACopyIsImpairsBitForBit) {
  const phy::Frame& frame = longFrame();
  const double power = channel::meanFramePower(frame.waveform, frame.marker2);
  for (const auto& [snr, seed] : {std::tuple{-4.0, 11U}, std::tuple{14.0, 12U}}) {
    // Blocks of uneven lengths, across the generator's own blocks of numbers.
    channel::NoiseStream noise(power, kRate, snr, seed);
    ComplexRow noisy(frame.waveform.size());
    for (std::size_t done = 0, n = 1; done < noisy.size(); done += n, n = n * 3 + 1) {
      n = std::min(n, noisy.size() - done);
      noise.addTo(frame.waveform.data() + done, noisy.data() + done, n);
    }
    EXPECT_TRUE(noisy == impair(frame.waveform, kRate, frame.marker2, {.snrDb = snr, .seed = seed})) << snr;
  }
}

TEST(Offsets, TheReceiverDecodesTheFrameAndMeasuresThem) {
  for (const auto& [cfo, ppm] : {std::tuple{60e3, 25.0}, std::tuple{-60e3, -25.0}}) {
    const Impairments im{.snrDb = 20, .cfoHz = cfo, .phaseDeg = 40, .clockPpm = ppm};
    const auto frames = rx::receiveFrames(impair(longFrame().waveform, kRate, longFrame().marker2, im), kRate);
    ASSERT_EQ(frames.size(), 1U) << cfo;
    EXPECT_TRUE(frames.front().fcsOk) << cfo;
    EXPECT_NEAR(frames.front().cfoHz, cfo, 2e3);
    EXPECT_NEAR(frames.front().clockPpm, ppm, 2);
  }
}

TEST(ModulatorErrors, TheImageOfAToneLiesTheClosedFormImageRejectionBelowIt) {
  constexpr double kPoints = 4096, kBin = 300;
  const auto tone = [](double bin, double n) { return std::polar(1.0, 2 * std::numbers::pi * bin * n / kPoints); };
  ComplexRow x(static_cast<std::size_t>(kPoints));
  for (std::size_t n = 0; n < x.size(); ++n) x[n] = tone(kBin, n);
  for (const auto& [gainDb, skewDeg] : {std::tuple{1.0, 3.0}, std::tuple{-0.5, 10.0}, std::tuple{3.0, -20.0}}) {
    const Impairments im{.iqGainDb = gainDb, .iqSkewDeg = skewDeg, .dc = {0.01, -0.02}};
    const ComplexRow y = impair(x, kRate, {}, im);
    Complex wanted = 0, image = 0, dc = 0;
    for (std::size_t n = 0; n < y.size(); ++n) {
      wanted += y[n] / tone(kBin, n), image += y[n] * tone(kBin, n), dc += y[n] / kPoints;
    }
    const double g = std::pow(10, gainDb / 20), c = std::cos(skewDeg * std::numbers::pi / 180);
    const double closedForm = (1 + 2 * g * c + g * g) / (1 - 2 * g * c + g * g);
    EXPECT_NEAR(10 * std::log10(std::norm(wanted) / std::norm(image)), 10 * std::log10(closedForm), 0.1);
    EXPECT_NEAR(std::abs(dc - im.dc), 0, 1e-12);
  }
}

TEST(Multipath, TheMeanPowerDelayProfileHasTheSetRmsDelaySpread) {
  for (const double rmsNs : {50.0, 150.0}) {
    std::vector<double> profile;
    for (std::uint64_t seed = 1; seed <= 400; ++seed) {
      const ComplexRow taps = channel::multipathTaps(kRate, rmsNs, seed);
      profile.resize(taps.size());
      for (std::size_t k = 0; k < taps.size(); ++k) profile[k] += std::norm(taps[k]) / 400;
    }
    double power = 0, delay = 0, squares = 0;
    for (std::size_t k = 0; k < profile.size(); ++k) {
      const double ns = static_cast<double>(k) / kRate * 1e9;
      power += profile[k], delay += profile[k] * ns, squares += profile[k] * ns * ns;
    }
    EXPECT_NEAR(power, 1, 0.1) << rmsNs;
    EXPECT_NEAR(std::sqrt(squares / power - std::pow(delay / power, 2)), rmsNs, 0.1 * rmsNs);
  }
}

TEST(Multipath, ARowPlayedInALoopMeetsTheSameChannelEverywhere) {
  ComplexRow row(3000), turned(row.size());
  for (std::size_t n = 0; n < row.size(); ++n) row[n] = Complex(std::sin(0.1 * n * n), std::cos(0.37 * n));
  std::rotate_copy(row.begin(), row.begin() + 1000, row.end(), turned.begin());
  const ComplexRow out = impair(row, kRate, {}, {.multipathRmsNs = 400});
  const ComplexRow turnedOut = impair(turned, kRate, {}, {.multipathRmsNs = 400});
  for (std::size_t n = 0; n < row.size(); ++n) {
    ASSERT_NEAR(std::abs(turnedOut[n] - out[(n + 1000) % row.size()]), 0, 1e-12) << n;
  }
}

TEST(Settings, BadOnesAreRefusedByName) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  for (const auto& [im, name] :
       {std::tuple{Impairments{.snrDb = inf}, "--snr"}, {{.cfoHz = 22e6}, "--cfo"}, {{.phaseDeg = nan}, "--phase"},
        {{.clockPpm = -1001}, "--clock-ppm"}, {{.iqGainDb = 21}, "--iq-gain"}, {{.iqSkewDeg = 90}, "--iq-skew"},
        {{.dc = {0, nan}}, "--dc"}, {{.multipathRmsNs = 2001}, "--multipath"}, {{.multipathRmsNs = -1}, "--multipath"}}) {
    try {
      channel::checkImpairments(im, kRate);
      ADD_FAILURE() << name << " accepted";
    } catch (const std::invalid_argument& e) {
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
  }
  EXPECT_THROW(channel::checkImpairments({}, 0), std::invalid_argument);
  EXPECT_THROW(channel::checkImpairments({}, inf), std::invalid_argument);
  EXPECT_THROW(impair(ComplexRow(8), kRate, Bits(7, 1), {.snrDb = 3}), std::invalid_argument);
}

}  // namespace
}  // namespace dot11b::test

// SPDX-License-Identifier: GPL-3.0-or-later
// The options of a composite (compose, download --test, per --interferer): the wanted signal's generate
// options, interferers, a tone and noise, or one of the receiver tests.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "command.h"
#include "phy/frame.h"
#include "runtime/value.h"
#include "testbench/receiver_tests.h"
#include "testbench/signal_composer.h"

// The help of the composition options, as the commands that take them print it.
#define DOT11B_COMPOSITION_OPTIONS_HELP                                                                        \
  "Other signals, each at a frequency offset from the wanted signal and a level relative to it (levels\n"     \
  "are mean powers over each signal's frames, idle excluded, as --snr takes them):\n"                          \
  "  --interferer 'OPTIONS'  another frame sequence, OPTIONS those of generate for its frames ('' for the\n"     \
  "                     start values; --set, --frames, --template, impairments); its payload starts elsewhere\n"    \
  "                     in PN9 or PN15 than the wanted one's, and it repeats over the whole waveform\n"     \
  "  --offset HZ        the carrier offset of the interferer named before it (0)\n"                         \
  "  --level DB         its level over the wanted signal's, -80 to 80 (0)\n"                                \
  "  --interferer-start S  where its first sample lies [s] (a random start drawn from --seed by default)\n"  \
  "  --cw HZ,DB         a continuous-wave tone at offset HZ and level DB\n"                                 \
  "  --noise DB         white Gaussian noise, its power in the 11 MHz chip bandwidth DB over the wanted\n"    \
  "                     signal's, -100 to 50\n"                                                                     \
  "The composite's sample rate is the lowest multiple of 11 MHz, not below the wanted frame's, that holds\n"  \
  "every signal (its carrier +-11 MHz) within 80 % of the band, up to 200 MHz; each signal is taken there\n"   \
  "by the band-limited resampler.\n"

#define DOT11B_RECEIVER_TEST_OPTIONS_HELP                                                                      \
  "Receiver tests of IEEE 802.11b-1999 18.4.8 (IEEE 802.11-1999 clause 15 at 1 and 2 Mbit/s):\n"              \
  "  --test sensitivity|max-input|adjacent-channel|cca  the test's data frames (1024-octet PSDUs, PN9)\n"      \
  "                     and level plan, instead of the options above\n"                                     \
  "  --rate-mbps R      1, 2, 5.5 or 11 (11)\n"                                                             \
  "  --frames N         frames of the wanted signal (100)\n"                                                \
  "  --channel-spacing HZ  the adjacent channel's offset, at least 25 MHz (30 MHz at 1 and 2 Mbit/s)\n"     \
  "  --level DBM        the wanted signal's level at the antenna connector, instead of the plan's; the\n"  \
  "                     interferer keeps its level over the wanted one\n"

namespace dot11b::cli {

struct CompositionOptions {
  testbench::CompositionSettings settings;
  std::optional<testbench::ReceiverTestPlan> plan;
  std::optional<double> wantedLevelDbm;  // the plan's, or --level with --test
};

// Takes --test and its options when args hold --test; otherwise the wanted signal's frame options and the
// other signals'. Takes everything that is left: anything unknown is refused. The composite's rate is
// checked (compositeRate). Throws std::invalid_argument naming the option (and the interferer).
CompositionOptions takeCompositionOptions(Args& args, std::optional<double> sampleRate);

// Only the other signals' options (--interferer, --offset, --level, --interferer-start, --cw, --noise),
// leaving the rest in args, for a command with frames of its own.
void takeOtherSignals(Args& args, testbench::CompositionSettings& settings);

// Only the receiver test's options, when args hold --test.
std::optional<CompositionOptions> takeReceiverTest(Args& args);

// What the composite holds, line by line: the plan, each signal, and the amplitude to set on the signal
// generator (a warning among them when it lies outside the generator's range).
std::vector<std::string> compositionLines(const CompositionOptions& options, const testbench::Composite& composite);

// The receiver test's composite for a signal generator: `sigGenSettings` get the amplitude that puts the
// wanted frames at the test level (the nearest end of the generator's range, with a warning in `report`,
// when it lies beyond) and the composite's sample rate. Throws std::invalid_argument when that rate is
// above the generator's sample clock.
phy::Frame receiverTestWaveform(const CompositionOptions& test, rt::Value& sigGenSettings,
                                std::vector<std::string>& report);

// Each other signal's name: "interferer 1: 11 Mbit/s CCK, ..., +25 MHz, +35 dB".
std::vector<std::string> otherSignalNames(const testbench::CompositionSettings& settings);

}  // namespace dot11b::cli

// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b compose: the wanted frames with interferers, a tone and noise, or a receiver test, in one waveform.
#include <iostream>
#include <nlohmann/json.hpp>

#include "command.h"
#include "composition_options.h"
#include "heap_rows.h"
#include "output_options.h"
#include "parameter_source.h"
#include "testbench/frame_description.h"
#include "waveform_output.h"

namespace dot11b::cli {

namespace {

constexpr double kHalfChannel = 11e6;  // the annotations' edges each side of a carrier [Hz]

// The SigMF description: the wanted frames' annotation, one for each interferer over the whole waveform,
// and the signals, the plan and the generator's level in the "dot11b" extension.
files::SigmfDescription compositeDescription(const CompositionOptions& o, const testbench::Composite& c) {
  const testbench::CompositionSettings& s = o.settings;
  files::SigmfDescription d = sigmfDescription(c.frame, s.wanted.parameters, c.sampleRate);
  d.bandwidth = 2 * kHalfChannel;
  d.label = "wanted: " + testbench::signalName(s.wanted);
  d.description = o.plan ? "IEEE 802.11b receiver test " + testbench::receiverTestName(o.plan->test) +
                               ": wanted frames (the markers) and other signals"
                         : "IEEE 802.11b-1999 DSSS frames (the markers) and other signals";
  const std::vector<std::string> names = otherSignalNames(s);
  nlohmann::ordered_json signals = nlohmann::ordered_json::array();
  signals.push_back({{"name", "wanted: " + testbench::signalName(s.wanted)}, {"offset_hz", 0.0}, {"level_db", 0.0}});
  for (std::size_t k = 0; k < s.interferers.size(); ++k) {
    const testbench::Interferer& it = s.interferers[k];
    const double carrier = d.centerFrequency + it.offsetHz;
    d.moreAnnotations.push_back({0, c.frame.waveform.size(), carrier - kHalfChannel, carrier + kHalfChannel, names[k]});
    signals.push_back({{"name", names[k]},
                       {"offset_hz", it.offsetHz},
                       {"level_db", it.levelDb},
                       {"start_sample", c.interfererStarts[k]}});
  }
  if (s.tone) signals.push_back({{"name", "tone"}, {"offset_hz", s.tone->offsetHz}, {"level_db", s.tone->levelDb}});
  if (s.noiseDb) signals.push_back({{"name", "noise in 11 MHz"}, {"level_db", *s.noiseDb}});
  d.extensionFields.emplace_back("dot11b:signals", signals.dump());
  d.extensionFields.emplace_back("dot11b:generator_level_db",
                                 nlohmann::json(testbench::instrumentLevelDbm(c, 0)).dump());
  if (o.plan) {
    d.extensionFields.emplace_back("dot11b:receiver_test", testbench::planJson(*o.plan));
    d.extensionFields.emplace_back(
        "dot11b:generator_amplitude_dbm",
        nlohmann::json(testbench::instrumentLevelDbm(c, o.plan->wantedLevelDbm)).dump());
  }
  return d;
}

// The mat format's variables besides the samples: `signals` (names, offsets, levels), `generatorLevelDb`
// and, for a receiver test, `receiverTest` (its plan) and `generatorAmplitudeDbm`.
rt::MatVariables compositeVariables(const CompositionOptions& o, const testbench::Composite& c) {
  const testbench::CompositionSettings& s = o.settings;
  const std::vector<std::string> others = otherSignalNames(s);
  rt::Value names = rt::Value::cell(1, others.size() + 1);
  std::vector<double> offsets{0}, levels{0};
  names.cells()[0] = rt::Value::text("wanted: " + testbench::signalName(s.wanted));
  for (std::size_t k = 0; k < others.size(); ++k) names.cells()[k + 1] = rt::Value::text(others[k]);
  for (const testbench::Interferer& it : s.interferers) {
    offsets.push_back(it.offsetHz);
    levels.push_back(it.levelDb);
  }
  if (s.tone) {
    offsets.push_back(s.tone->offsetHz);
    levels.push_back(s.tone->levelDb);
  }
  if (s.noiseDb) {
    offsets.push_back(0);
    levels.push_back(*s.noiseDb);
  }
  rt::Value signals = rt::Value::record();
  signals.setField("names", std::move(names));
  signals.setField("offsetHz", rt::Value::row(offsets));
  signals.setField("levelDb", rt::Value::row(levels));
  rt::MatVariables variables{{"signals", std::move(signals)},
                             {"generatorLevelDb", rt::Value::scalar(testbench::instrumentLevelDbm(c, 0))}};
  if (o.plan) {
    variables.emplace_back("receiverTest", testbench::planRecord(*o.plan));
    variables.emplace_back("generatorAmplitudeDbm",
                           rt::Value::scalar(testbench::instrumentLevelDbm(c, o.plan->wantedLevelDbm)));
  }
  return variables;
}

}  // namespace

int runCompose(const Args& args) {
  OutputOptions output;
  CompositionOptions composition;
  if (const auto status = takeOptions("compose", [&] {
        Args rest = args;
        output = takeOutputOptions(rest);
        composition = takeCompositionOptions(rest, output.rate);
      })) {
    return *status;
  }
  return runReporting("compose", [&] {
    keepRowsInHeap();
    const testbench::Composite c = testbench::compose(composition.settings);
    files::ReplacementSet written;
    if (!output.markers.empty()) writeMarkers(written, output.markers, c.frame);
    const std::size_t clipped =
        writeWaveform(written, output.out, *output.format, output.encoding, c.frame, c.sampleRate,
                      compositeDescription(composition, c), compositeVariables(composition, c));
    written.commit();
    // The samples may take standard output: the report then goes with the messages.
    std::ostream& report = output.out == kStandardOutput ? std::cerr : std::cout;
    for (const std::string& line : compositionLines(composition, c)) report << line << "\n";
    if (clipped > 0)
      std::cerr << "dot11b compose: " << clipped << " of " << c.frame.waveform.size()
                << " samples clipped at full scale (raise --backoff)\n";
    return kOk;
  });
}

}  // namespace dot11b::cli

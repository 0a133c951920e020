// SPDX-License-Identifier: GPL-3.0-or-later
// dot11b download: the frame of the given parameters into the signal generator, then the playback set-up;
// on a radio, the loop then plays until Ctrl-C or for --duration seconds.
#include <algorithm>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "c_host.h"
#include "composition_options.h"
#include "command.h"
#include "link_calls.h"
#include "parameter_source.h"
#include "radio_download.h"
#include "runtime/error_text.h"
#include "settings/calculate.h"
#include "settings/radio_connection.h"
#include "sig_gen_options.h"

namespace dot11b::cli {
namespace {

// --yes: the library's questions (the RS-232 transfer time) are answered "OK"; its messages are printed.
dot11b_array* answerYes(void*, const dot11b_dialog* dialog) {
  std::cerr << dialog->title << ": " << dialog->text << "\n";
  if (dialog->kind != DOT11B_DIALOG_QUESTION) return nullptr;
  std::string answer = dialog->default_button;
  for (std::size_t i = 0; i < dialog->item_count; ++i) {
    if (std::string_view(dialog->items[i]) == "OK") answer = "OK";
  }
  std::cerr << "> " << answer << " (--yes)\n";
  return dot11b_create_text(answer.c_str());
}

struct DownloadRequest {
  rt::Value configuration;
  rt::Value settings;  // SigGenSettings
  rt::Value waveform;  // complex row
  rt::Value markers;   // 2 x N
  const char* playback = "ZELPlay_c";
  bool yes = false;
  bool radio = false;
  std::optional<double> duration;  // of a radio's loop; nothing: until Ctrl-C
  std::vector<std::string> report;  // what a receiver test's composite holds, and the amplitude set
};

rt::Value markerRows(const phy::Frame& frame) {
  const std::size_t n = frame.marker1.size();
  std::vector<double> columnMajor(2 * n);
  for (std::size_t k = 0; k < n; ++k) {
    columnMajor[2 * k] = frame.marker1[k];
    columnMajor[2 * k + 1] = frame.marker2[k];
  }
  return rt::Value::matrix(2, n, std::move(columnMajor));
}

// Everything from the options, the frame computed; throws for a bad option or parameter.
DownloadRequest requestFromOptions(const Args& args) {
  DownloadRequest request;
  Args rest = args;
  const auto yes = std::find(rest.begin(), rest.end(), "--yes");
  request.yes = yes != rest.end();
  if (request.yes) rest.erase(yes);
  request.configuration = takeConfiguration(rest);
  request.radio = settings::isRadioConnection(request.configuration);
  if (request.radio) request.duration = takeLoopDuration(rest);
  request.playback = takePlaybackRoutine(rest);
  const std::optional<CompositionOptions> test = takeReceiverTest(rest);
  const rt::Value parameters = test ? test->settings.wanted.parameters : parametersFromOptions(rest);
  Args remaining;
  request.settings = sigGenSettingsFromOptions(parameters, rest, remaining);
  expectNoMore(remaining);
  if (test) {
    const phy::Frame frame = receiverTestWaveform(*test, request.settings, request.report);
    request.waveform = rt::Value::complexRow(frame.waveform);
    request.markers = markerRows(frame);
    return request;
  }
  const phy::Frame frame = settings::calculate(parameters);
  request.waveform = rt::Value::complexRow(frame.waveform);
  request.markers = markerRows(frame);
  return request;
}

}  // namespace

int runDownload(const Args& args) {
  DownloadRequest request;
  if (const auto status = takeOptions("download", [&] { request = requestFromOptions(args); })) return *status;
  try {
    LibrarySession session;
    std::optional<CtrlCStop> ctrlC;  // on a radio, Ctrl-C stops the loop and lets the radio go
    if (request.radio) ctrlC.emplace();
    if (request.yes) dot11b_set_dialog_hook(answerYes, nullptr);
    for (const std::string& line : request.report) std::cout << line << "\n";
    const rt::Value& title = request.settings.field("Title");
    const LinkReply transfer = callLink("ZELDownLoadWrap", {request.waveform, request.markers, title, request.configuration});
    if (transfer.status != 0) {
      std::cerr << "dot11b download: Error Occured During Waveform Download: " << transfer.description << "\n";
      return kFailed;
    }
    const LinkReply setup = callLink(request.playback, {title, request.settings, request.configuration});
    if (setup.status != 0) {
      std::cerr << "dot11b download: Error Occured During Instrument Setup: " << setup.description << "\n";
      return kFailed;
    }
    if (request.radio) {
      std::cout << setup.description << "\n";
      return playUntilStopped(request.duration, *ctrlC);
    }
    std::cout << "Waveform has been successfully transferred to the instrument\n";
    return kOk;
  } catch (const std::exception& e) {
    std::cerr << "dot11b download: " << rt::userMessage(e) << "\n";
    return kFailed;
  }
}

}  // namespace dot11b::cli

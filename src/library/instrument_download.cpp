// SPDX-License-Identifier: GPL-3.0-or-later
// Waveform download for the calling forms: ZELDownLoadWrap, with the RS-232 question through the
// dialogs interface and the transfer through HwDownload by name.
#include <algorithm>
#include <cctype>
#include <limits>
#include <string>

#include "instrument/link/download_confirmation.h"
#include "instrument/link/text_checks.h"
#include "runtime/binding.h"
#include "runtime/export_macros.h"
#include "toolkit/dialogs.h"

namespace dot11b::rt {

namespace {

Values replyValues(const instrument::LinkReply& reply) {
  return {Value::scalar(reply.status), Value::text(reply.description)};
}

bool isRs232(const Value& config) {
  const Value* type = config.findField("type");
  if (type == nullptr || !type->isText()) return false;
  std::string text = type->toUtf8();
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text == "rs232";
}

// The record's baud rate, or NaN when it has none that is a number.
double baudRate(const Value& config) {
  const Value* rs232 = config.findField("RS232");
  const Value* baud = rs232 != nullptr && rs232->isRecord() ? rs232->findField("baudrate") : nullptr;
  if (baud == nullptr || !baud->isNumeric() || baud->isEmpty()) return std::numeric_limits<double>::quiet_NaN();
  return baud->re(0);
}

std::string askThroughDialogs(const instrument::QuestionBox& box) {
  return toolkit::dialogs().question(box.text, box.title, box.buttons, box.defaultButton);
}

Values zelDownLoadWrap(const Values& in, int) {
  const Inputs args(in, "ZELDownLoadWrap");
  const Value& iqData = args.at(0, "IQData");
  const Value& marker = args.at(1, "Marker");
  const std::string title = args.text(2, "Filename");
  const Value& config = args.record(3, "config");
  // The title goes inside a quoted string of the commands: refused before the user is asked anything.
  if (const auto problem = instrument::titleProblem(title)) {
    return replyValues({instrument::kRefusedStatus, "ZELDownLoadWrap: " + *problem + "; nothing was sent"});
  }
  const std::size_t n = std::max(iqData.rows(), iqData.cols());  // the length of the sample vector
  if (const auto cancelled = instrument::confirmTransfer(isRs232(config), n, baudRate(config), askThroughDialogs)) {
    return replyValues(*cancelled);
  }
  Values out =
      callByName("HwDownload", {config, iqData, marker, Value::text("norm"), Value::scalar(1), Value::text(title)}, 2);
  out.resize(2);
  return out;
}

void registerInstrumentDownload(Registry& r) {
  r.add({"ZELDownLoadWrap", "zELDownLoadWrap", 1, 4, 2, zelDownLoadWrap});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerInstrumentDownload)

}  // namespace dot11b::rt

DOT11B_EXPORT_2(ZELDownLoadWrap, 4)

// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/radio_window.h"

#include "runtime/library.h"
#include "runtime/shortest_text.h"
#include "settings/radio_connection.h"
#include "toolkit/controls.h"
#include "toolkit/dialogs.h"

namespace dot11b::windows::radio_window {

namespace {

using rt::Value;
using rt::Values;

// How often the status line is read [ms].
constexpr int kStatusPeriod = 500;

struct State {
  bool started = false;      // a Download on a radio was made: the radio module is loaded
  bool failureShown = false;  // the failure of the last loop was told
  bool inTick = false;        // a message box of a tick is open
};

State& state() {
  static State s;
  return s;
}

// The advanced settings a radio does not have, with what a radio does instead.
struct Unavailable {
  const char* tag;
  const char* what;
};
constexpr Unavailable kUnavailable[] = {
    {"pdBBfilter", "baseband filter"},     {"txtScaling", "waveform scaling"},
    {"txtModAtten", "modulator attenuation"}, {"chkRFblanking", "RF blanking"},
    {"chkALC", "automatic level control"}, {"chkBBrefSource", "ARB reference"},
    {"chkMarkerPolarity", "marker outputs"},
};

std::string megahertz(double hz) { return rt::shortestText(hz / 1e6) + " MHz"; }

// The radio by its driver and serial: its label, long on some radios, is in the connection dialog.
std::string shortName(std::string radio) {
  const auto label = radio.find(", label=");
  if (label == std::string::npos) return radio;
  const auto next = radio.find(", ", label + 2);
  return radio.erase(label, next == std::string::npos ? std::string::npos : next - label);
}

std::string statusText(const Value& s) {
  const std::string radio = shortName(s.field("radio").toUtf8());
  if (radio.empty()) return "";
  std::string text = "Radio " + radio + ": ";
  if (s.field("playing").scalarValue() != 0) {
    return text + "playing at " + megahertz(s.field("frequency").scalarValue()) + ", " +
           rt::shortestText(s.field("rate").scalarValue() / 1e6) + " Msample/s, underflows " +
           rt::shortestText(s.field("underflows").scalarValue());
  }
  return text + "stopped (" + s.field("reason").toUtf8() + "), underflows " +
         rt::shortestText(s.field("underflows").scalarValue());
}

}  // namespace

bool onRadio() { return settings::isRadioConnection(rt::global("configuration")); }

void downloadStarted() {
  state().started = true;
  state().failureShown = false;
}

void stopPlaying(const std::string& reason) {
  if (!state().started) return;
  rt::callByName("Dot11b_RadioStop", {Value::text(reason)}, 1);
}

void startStatusLine(const Value& handles) {
  const toolkit::Handle main = toolkit::handleIn(handles, "main");
  toolkit::current().every(main, kStatusPeriod, [handles] { updateStatusLine(handles); });
}

void updateStatusLine(const Value& handles) {
  State& s = state();
  if (!s.started || s.inTick || !handles.hasField("lblRadioStatus")) return;
  const Value status = rt::callByName("Dot11b_RadioStatus", {}, 1).front();
  toolkit::Control(toolkit::handleIn(handles, "lblRadioStatus")).setText(statusText(status));
  if (status.field("failed").scalarValue() == 0 || s.failureShown) return;
  s.failureShown = true;
  s.inTick = true;
  toolkit::dialogs().error("The radio stopped playing: " + status.field("reason").toUtf8(), "Radio Stopped");
  s.inTick = false;
}

void tbRFOutput(toolkit::Handle h, const Value& handles) {
  const bool on = toolkit::Control(h).value() != 0;
  rt::global("SigGenSettings").setField("RFOutput", Value::scalar(on ? 1 : 0));
  std::string routine, failure;
  Values out;
  if (onRadio()) {
    // Nothing plays before the first Download: the setting waits for it.
    if (!state().started) return;
    const Value& settings = rt::global("SigGenSettings");
    out = rt::callByName("ZELPlay_c", {settings.field("Title"), settings, rt::global("configuration")}, 2);
  } else {
    const Value command = Value::text(on ? " :output:state on" : " :output:state off");
    out = rt::callByName("HwSend", {rt::global("configuration"), command}, 2);
  }
  if (!out.empty() && out[0].isNumeric() && !out[0].isEmpty() && out[0].re(0) != 0)
    toolkit::dialogs().error(out.size() > 1 && out[1].isText() ? out[1].toUtf8() : "",
                             "Error Occured During Instrument Setup");
  updateStatusLine(handles);
}

bool showRadioLimits(const Value& advancedHandles) {
  const bool radio = onRadio();
  const toolkit::Window dialog(advancedHandles);
  for (const Unavailable& u : kUnavailable) {
    dialog[u.tag].setEnabled(!radio);
    if (radio)
      dialog[u.tag].setToolTip(std::string("A radio has no ") + u.what +
                               ": this setting applies to a signal generator only.");
  }
  return radio;
}

}  // namespace dot11b::windows::radio_window

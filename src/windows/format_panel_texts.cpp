// SPDX-License-Identifier: GPL-3.0-or-later
// The panel's fixed texts: tool tips and the channel list.
#include <array>
#include <string_view>
#include <utility>

#include "toolkit/controls.h"
#include "windows/format_panel.h"
#include "windows/window_module.h"

namespace dot11b::windows::format_panel {

namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 22> kToolTips{{
    {"tbGenerationMode", "Toggles between framed and unframed mode."},
    {"pdDataRate", "Selects the data rate."},
    {"pdModulation",
     "Selects the modulation.\n(Note: Only 5.5 Mbps and 11 Mbps data rates\nhave more than 1 Modulation format "
     "available.)"},
    {"pdPreambleFormat",
     "Selects the format of the preamble/header\nsections of a framed signal.\n(Note: Only relevant for data rates "
     "above 1 Mbps.)"},
    {"chkClkLocked",
     "Toggles the clock locked flag in the\nphysical packet header.\n(Note: Only relevant in framed mode.)"},
    {"chkEncoderActive", "Toggles the activity state of the PBCC encoder.\n(Note: Only relevant for PBCC modulation.)"},
    {"pdScrambler", "Selects the activity state of the Scrambler."},
    {"pdPowerRamp", "Selects the power up/down ramp type.\n(Note: Only relevant in framed mode.)"},
    {"txtRampTime", "Sets the length (in usec) of the\npower up/down ramp.\n(Note: Only relevant in framed mode)"},
    {"txtIdleInterval",
     "Sets the length (in usec) of the\nidle period between frames.\n(Note: Only relevant in framed mode)"},
    {"pdChannels", "Sets the RF channel.\n(Note: This automatically\nsets the ZEL frequency.)"},
    {"txtOversampleRate", "Selects the oversample ratio.\nValid Ranges: 2 to 9"},
    {"pdFilterType", "Selects the baseband filter type."},
    {"chkMirrorSpectrum", "Enable/disables spectrum mirroring."},
    {"txtFilterFactor",
     "Specifies the filter performance.\nValid Ranges:\nGaussian:  0.1 - 1.0\nRoot Cosine: 0.05 - 1.0"},
    {"txtFilterTaps", "Specifies the symbol length of the filter"},
    {"pdDATAsourceType", "Selects the payload data stream.\n(The actual \"user data\" of the frame.)"},
    {"txtDataLength", "Sets the number of data bytes in a frame.\n(This excludes the MAC Header and FCS)"},
    {"txtTotalLength",
     "Indicates the total number of\nbytes are in the physical frame.\n(This includes the MAC Header.)"},
    {"chkMACheader", "Enables/disables the prepending of a\nMAC Header to the data payload"},
    {"chkMACfcs", "Enables/disables the appending of a\nMAC FCS check sequence to the data payload."},
    {"pbMACheaderSetup", "Configures the MAC Header."},
}};

}  // namespace

std::vector<std::string> channelList() {
  std::vector<std::string> list;
  for (int i = 1; i <= 13; ++i) {
    list.push_back((i < 10 ? " " : "") + std::to_string(i) + " - " + std::to_string(2407 + 5 * i) + " MHz");
  }
  list.push_back("14 - 2484 MHz");
  return list;
}

double channelFrequency(int channel) { return channel == 14 ? 2484000000.0 : (2407.0 + 5.0 * channel) * 1e6; }

void initializeFigure(const rt::Value& handles) {
  const toolkit::Window panel(handles);
  rt::callByName("ResizeAllFonts", {rt::Value::scalar(panel["main"].handle())}, 0);
  for (const auto& [tag, tip] : kToolTips) panel[tag].setToolTip(tip);
  panel["pdChannels"].setItems(channelList());
  callModule("ZELconfig_c", "InitializeSigGenScreenObjects", {handles});
}

}  // namespace dot11b::windows::format_panel

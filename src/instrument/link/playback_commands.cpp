// SPDX-License-Identifier: GPL-3.0-or-later
#include "instrument/link/playback_commands.h"

#include "runtime/number_text.h"

namespace dot11b::instrument {
namespace {

using rt::numberToText;

// Commands 1 to 5, common to both platforms.
std::vector<std::string> leadingCommands(const std::string& title, const PlaybackSettings& s) {
  return {" :source:rad:arb:state off",
          waveformSelection(title),
          " :source:freq:fix " + numberToText(s.frequency) + "Hz",
          " :source:power:level:immediate:amplitude " + numberToText(s.amplitude) + "dbm",
          " :source:rad:arb:clock:srate " + numberToText(s.samplingRate) + "Hz"};
}

// Markers, reference and switching on, the last commands of both platforms.
void appendTrailingCommands(const PlaybackSettings& s, std::vector<std::string>& commands) {
  commands.push_back(std::string(" :source:rad:arb:marker:rfblank ") + (s.rfBlanking == 1 ? "on" : "off"));
  commands.push_back(std::string(" :source:rad:arb:marker:polarity ") + (s.markerPolarity == 0 ? "Pos" : "Neg"));
  commands.push_back(std::string(" :source:rad:arb:clock:ref ") + (s.arbRefSource == 0 ? "int" : "ext"));
  commands.push_back(" :source:rad:arb:state on");
  commands.push_back(" :output:state on");
}

}  // namespace

std::string waveformSelection(const std::string& title) { return " :source:rad:arb:wav \"arbi:" + title + "\" "; }

std::string reconstructionFilterText(double reconFilter) {
  if (reconFilter == 1) return "250.0khz";
  if (reconFilter == 2) return "2.5Mhz";
  if (reconFilter == 3) return "8Mhz";
  return "through";
}

std::string basebandFilterText(double bbFilter) {
  if (bbFilter == 1) return "2.1MHz";
  if (bbFilter == 2) return "40MHz";
  return "Through";
}

std::string levelControlText(double alc) { return alc == 0 ? "off" : "on"; }

std::vector<std::string> playbackCommandsQ6200T(const std::string& title, const PlaybackSettings& s) {
  std::vector<std::string> commands = leadingCommands(title, s);
  commands.push_back(" :source:dm:bbfilter " + basebandFilterText(s.bbFilter));
  commands.push_back(" :source:rad:ARB:rscaling " + numberToText(s.scaling));
  commands.push_back(":source:DM:IQAT:AUTO off");
  commands.push_back(":source:DM:IQAT " + numberToText(s.modAtten));
  commands.push_back(" :pow:alc:state " + levelControlText(s.alc));
  appendTrailingCommands(s, commands);
  return commands;
}

std::vector<std::string> playbackCommandsOlderPlatform(const std::string& title, const PlaybackSettings& s) {
  std::vector<std::string> commands = leadingCommands(title, s);
  commands.push_back(" :source:rad:arb:rfilter " + reconstructionFilterText(s.reconFilter));
  appendTrailingCommands(s, commands);
  return commands;
}

}  // namespace dot11b::instrument

// SPDX-License-Identifier: GPL-3.0-or-later
// The remote-control commands of a playback set-up, exactly as the instrument receives them.
#pragma once

#include <string>
#include <vector>

#include "instrument/link/playback_settings.h"

namespace dot11b::instrument {

// " :source:rad:arb:wav "arbi:<title>" " (with the double quotes and the trailing blank).
std::string waveformSelection(const std::string& title);

// The 15 commands for the Q6200T generation (platform code "c").
std::vector<std::string> playbackCommandsQ6200T(const std::string& title, const PlaybackSettings& s);
// The 11 commands for the other platforms: a reconstruction filter, no scaling, attenuation or level control.
std::vector<std::string> playbackCommandsOlderPlatform(const std::string& title, const PlaybackSettings& s);

// The filter and level-control words of the commands.
std::string reconstructionFilterText(double reconFilter);
std::string basebandFilterText(double bbFilter);
std::string levelControlText(double alc);

}  // namespace dot11b::instrument

// SPDX-License-Identifier: GPL-3.0-or-later
// The radio routines are built as a module of their own (libDot11b_radio.so, beside the library) because
// they link SoapySDR, and SoapySDR loads the modules of every radio installed: a host that never reaches
// for a radio loads none of it. The first call of one of its routines opens it.
#include "runtime/export_macros.h"
#include "runtime/library.h"

namespace dot11b::rt {

namespace {

void registerRadioModule(Registry&) {
  addRoutineModule("libDot11b_radio.so", {"Dot11b_Devices", "Dot11b_Transmit", "Dot11b_Capture", "Dot11b_RadioLoad",
                                          "Dot11b_RadioPlay", "Dot11b_RadioStatus", "Dot11b_RadioStop",
                                          "Dot11b_RadioFind"});
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerRadioModule)

}  // namespace dot11b::rt

DOT11B_EXPORT_1(Dot11b_Devices, 1)
DOT11B_EXPORT_1(Dot11b_Transmit, 3)
DOT11B_EXPORT_3(Dot11b_Capture, 1)
DOT11B_EXPORT_2(Dot11b_RadioLoad, 2)
DOT11B_EXPORT_2(Dot11b_RadioPlay, 2)
DOT11B_EXPORT_1(Dot11b_RadioStatus, 0)
DOT11B_EXPORT_1(Dot11b_RadioStop, 1)
DOT11B_EXPORT_2(Dot11b_RadioFind, 1)

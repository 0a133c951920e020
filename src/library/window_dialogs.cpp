// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs' modules for the calling forms: the MAC header dialog, the receiver test dialog, the
// connection dialog and the signal generator settings panels. Called with a window (not an operation name) they run
// their dialog.
#include "runtime/export_macros.h"
#include "runtime/library.h"
#include "windows/connection_dialog.h"
#include "windows/mac_header_dialog.h"
#include "windows/receiver_test/receiver_test_dialog.h"
#include "windows/sig_gen_panels.h"

namespace dot11b::rt {

namespace {

void registerWindowDialogs(Registry& r) {
  r.add(moduleRoutine("Dot11_MACconfig", windows::mac_header_dialog::module(), windows::mac_header_dialog::run));
  r.add(moduleRoutine("VX_SigGen", windows::connection_dialog::module(), windows::connection_dialog::run));
  r.add(moduleRoutine("ZELconfig_c", windows::sig_gen_panel::module()));
  r.add(moduleRoutine("Dot11b_ReceiverTest", windows::receiver_test_dialog::module(),
                      windows::receiver_test_dialog::run));
  r.add(moduleRoutine("ZelConfigAdv_c", windows::sig_gen_advanced::module(), windows::sig_gen_advanced::run));
}

}  // namespace

DOT11B_REGISTER_ROUTINES(registerWindowDialogs)

}  // namespace dot11b::rt

DOT11B_EXPORT_VARIABLE(Dot11_MACconfig)
DOT11B_EXPORT_VARIABLE(Dot11b_ReceiverTest)
DOT11B_EXPORT_VARIABLE(VX_SigGen)
DOT11B_EXPORT_VARIABLE(ZELconfig_c)
DOT11B_EXPORT_VARIABLE(ZelConfigAdv_c)

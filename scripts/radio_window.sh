#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives the real window from outside under Xvfb with xdotool, with the tests' loopback radio as the signal
# generator: the connection dialog (the radio kind, Find), Download, RF off; writes the pictures of the status
# line to docs/ (or the folder given). Needs the build (scripts/build.sh) and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/window_driving.sh

# Every step waits for the window it acts on.
cat > "$work/drive.sh" <<'DRIVE'
xdotool key --clearmodifiers alt+f Right Right s    # Configuration > Sig Gen I/O (alt+c is Calculate's)
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name "IO Connection")
xdotool windowfocus --sync "$dialog"
xdotool key --clearmodifiers alt+c End          # the connection kind: the last entry, the radio
xdotool key --clearmodifiers alt+f              # Find: the loopback radio fills the arguments
sleep 1
import -window "$dialog" "$OUT/radio-connection.png"
xdotool mousemove --window "$dialog" 360 368 click 1   # OK
sleep 1
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+d              # Download; the question to calculate first takes Return
sleep 2
xdotool key --clearmodifiers Return
sleep 2
xdotool key --clearmodifiers Return             # "Download Completed"
sleep 2
import -window "$main" "$OUT/radio-status.png"
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers alt+v              # RF off
sleep 1.5
import -window "$main" "$OUT/radio-status-rf-off.png"
kill "$app"
DRIVE
drive_window "$work/drive.sh"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives the real window under Xvfb with xdotool: Configuration > Receiver Test, the adjacent-channel test,
# Compose; writes the dialog's picture to docs/figReceiverTest.png (or the folder given). Needs the build
# (scripts/build.sh) and xdotool.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/window_driving.sh

cat > "$work/drive.sh" <<'DRIVE'
xdotool key --clearmodifiers alt+f Right Right r    # Configuration > Receiver Test
dialog=$(timeout 20 xdotool search --sync --onlyvisible --name "Receiver Test")
xdotool windowfocus --sync "$dialog"
xdotool key --clearmodifiers alt+t Down Down        # the adjacent-channel test
xdotool key --clearmodifiers alt+c                  # Compose
sleep 4
import -window "$dialog" "$OUT/figReceiverTest.png"
kill "$app"
DRIVE
drive_window "$work/drive.sh"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws the README's picture of the loopback flowgraph in GNU Radio Companion (docs/gnuradio-loopback.png, or
# the file given), with the module's blocks in the palette: GRC on a virtual display (Xvfb), captured with
# ImageMagick. Needs the build (scripts/build.sh) and GRC's window (gir1.2-gtk-3.0, from scripts/setup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
picture="$(realpath -m "${1:-docs/gnuradio-loopback.png}")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
source build/gnuradio/env.sh
# GRC's window as large as the display, the flowgraph beside the palette, the console below: the
# preferences it would otherwise read from the user's home.
export GRC_PREFS_PATH="$work/grc.conf"
cat >"$GRC_PREFS_PATH" <<CONF
[main]
main_window_width = 1600
main_window_height = 620
blocks_window_position = 1320
console_window_position = 470
variable_editor_position = 660
CONF
export HOME="$work"
xvfb-run -a -s "-screen 0 1600x620x24" bash -c '
  gnuradio-companion gnuradio/examples/loopback.grc >"$1/grc.log" 2>&1 &
  grc=$!
  # GRC has drawn the flowgraph once its console says it loaded it.
  for _ in $(seq 120); do grep -q "Loading:" "$1/grc.log" && break; sleep 0.5; done
  sleep 5
  import -window root "$2"
  kill $grc' _ "$work" "$picture"
echo "$picture"

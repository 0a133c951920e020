#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws the README's picture of a live decode (docs/live-decode.png, or the file given): three beacons
# played by the tests' loopback radio and decoded by 'dot11b verify --device', as a terminal shows them.
# Needs the build with its tests (scripts/build.sh) and ImageMagick; no radio and no display.
set -euo pipefail
cd "$(dirname "$0")/.."
picture="$(realpath -m "${1:-docs/live-decode.png}")"
source scripts/picture_support.sh
"$tool" generate --template beacon --frames 3 --set OverSampling=2 --set rampLength=44 --format cf32 --out beacons.cf32 >/dev/null 2>&1
command=(verify --device driver=loopback,max_rate=22e6,play=beacons.cf32 --frequency 2412e6 --rate 22e6
         --duration 0.002 --gain 30)
{
  echo "\$ dot11b ${command[*]}"
  "$tool" "${command[@]}" 2>&1 || true
} >terminal.txt
render_terminal terminal.txt 10 -append "$picture"

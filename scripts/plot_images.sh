#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws every view of the start-value frame with 'dot11b plot' into docs/ (or the folder given), as the
# README shows them. Needs the build (scripts/build.sh); no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs}"
mkdir -p "$out"
for view in ccdf spectrum iq iq-overlay eye scatter waterfall mask; do
  build/bin/dot11b plot "$view" --size 640x480 --png "$out/plot-$view.png"
done

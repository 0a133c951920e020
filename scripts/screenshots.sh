#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshots of the README under a real X server (Xvfb): the main window, each dialog and the
# About window, written to docs/ (or the folder given). Needs the build (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-docs}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# In an empty working folder, so that no stored connection settings change what is shown.
cd "$work"
DOT11B_SPLASH_MS=0 QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1000x24" \
  "$OLDPWD/build/bin/dot11b_window_host" --tour "$out"

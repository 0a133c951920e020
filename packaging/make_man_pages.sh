#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the manual pages of the two programs from their --help, compressed as Debian keeps them:
# make_man_pages.sh BIN_FOLDER OUT_FOLDER VERSION
set -euo pipefail
bin="$1"
out="$2"
version="$3"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# dot11b: the tool's overview, then each command's own help as a section of its own.
{
  echo "[COMMANDS]"
  "$bin/dot11b" --help | sed -n 's/^  \([a-z-]*\) .*/\1/p' | while read -r command; do
    echo ".SS $command"
    echo ".nf"
    "$bin/dot11b" "$command" --help | sed 's/\\/\\\\/g; s/^\./\\\&./'
    echo ".fi"
  done
} > "$work/commands.h2m"
help2man --no-info --no-discard-stderr --version-string="$version" --include="$work/commands.h2m" \
  --name="IEEE 802.11b DSSS waveform generator for vector signal generators" "$bin/dot11b" > "$work/dot11b.1"
help2man --no-info --no-discard-stderr --version-string="$version" \
  --name="simulated signal generator for dot11b on loopback" "$bin/dot11b-sgsim" > "$work/dot11b-sgsim.1"
gzip -9nc "$work/dot11b.1" > "$out/dot11b.1.gz"
gzip -9nc "$work/dot11b-sgsim.1" > "$out/dot11b-sgsim.1.gz"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The receiver's baseline copies (what a processor without AVX2 runs) give to the last bit what its AVX2
# copies give: a capture of CCK frames with carrier and clock offsets and noise, at 20 Msample/s (through
# the resampler), verified natively and under QEMU as a processor without AVX, its JSON (every figure in
# full) compared.
#   baseline_copies.sh DOT11B QEMU_X86_64
set -euo pipefail
dot11b="$1"
qemu="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$dot11b" generate --frames 4 --set dataRate=11 --set dataLength=400 --set MACfcs.Active=1 --rate 20e6 \
  --cfo 20e3 --clock-ppm 10 --snr 20 --out "$work/frames.cf32" 2>/dev/null
"$dot11b" verify "$work/frames.cf32" --rate 20e6 --json >"$work/native.json"
"$qemu" -cpu Nehalem "$dot11b" verify "$work/frames.cf32" --rate 20e6 --json >"$work/baseline.json"
[ "$(grep -c '"fcs_ok": true' "$work/native.json")" -eq 4 ]
diff "$work/native.json" "$work/baseline.json"

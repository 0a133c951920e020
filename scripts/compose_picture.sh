#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws the README's picture of the adjacent-channel receiver test (docs/compose-adjacent-channel.png, or
# the file given): the composite's spectrum as 'dot11b verify --mask-csv' measures it (100 kHz resolution
# bandwidth, over the first wanted frame), with the transmit mask drawn around each signal at its own
# peak. Needs the build (scripts/build.sh) and ImageMagick; no display.
set -euo pipefail
cd "$(dirname "$0")/.."
picture="$(realpath -m "${1:-docs/compose-adjacent-channel.png}")"
source scripts/picture_support.sh
"$tool" compose --test adjacent-channel --frames 4 --out acr.cf32 >/dev/null
"$tool" verify acr.cf32 --rate 99e6 --mask-csv spectrum.csv >/dev/null || true
python3 - spectrum.csv "$picture" <<'PY'
import csv, subprocess, sys
rows = list(csv.reader(open(sys.argv[1])))[1:]
points = [(float(f) / 1e6, float(level)) for f, level, _ in rows]
width, height, left, right, top, bottom = 720, 400, 60, 20, 30, 50
low_db, high_db, low_f, high_f = -100.0, 5.0, -50.0, 50.0
x = lambda f: left + (f - low_f) / (high_f - low_f) * (width - left - right)
y = lambda db: top + (high_db - max(low_db, min(high_db, db))) / (high_db - low_db) * (height - top - bottom)
draw = []
for db in range(-100, 1, 20):
    draw += ["-stroke", "#dddddd", "-draw", f"line {left},{y(db):.1f} {width - right},{y(db):.1f}",
             "-stroke", "none", "-fill", "black", "-draw", f"text 8,{y(db) + 4:.1f} '{db}'"]
for f in range(-50, 51, 10):
    draw += ["-stroke", "#dddddd", "-draw", f"line {x(f):.1f},{top} {x(f):.1f},{height - bottom}",
             "-stroke", "none", "-fill", "black", "-draw", f"text {x(f) - 10:.1f},{height - bottom + 16} '{f}'"]
line = " ".join(f"{x(f):.1f},{y(db):.1f}" for f, db in points)
draw += ["-stroke", "#1f5fbf", "-fill", "none", "-draw", f"polyline {line}"]
# Each signal's mask, at its own peak: -30 dBr from 11 to 22 MHz off its carrier, -50 dBr beyond.
for carrier, colour in ((0.0, "#c00000"), (25.0, "#e07000")):
    peak = max(db for f, db in points if abs(f - carrier) < 11)
    for side in (-1, 1):
        steps = [(11, 22, -30), (22, 75, -50)]
        for near, far, limit in steps:
            a, b = carrier + side * near, max(low_f, min(high_f, carrier + side * far))
            if low_f <= a <= high_f:
                level = y(peak + limit)
                draw += ["-stroke", colour, "-draw", f"line {x(a):.1f},{level:.1f} {x(b):.1f},{level:.1f}"]
        edge = carrier + side * 11
        if low_f <= edge <= high_f:
            draw += ["-stroke", colour, "-draw", f"line {x(edge):.1f},{y(peak):.1f} {x(edge):.1f},{y(peak - 30):.1f}"]
labels = ["-stroke", "none", "-fill", "black",
          "-draw", f"text {left},{top - 10} "
                   "'dot11b compose --test adjacent-channel: dBr against MHz off the wanted carrier'",
          "-fill", "#c00000", "-draw", f"text {x(-9):.1f},{y(-22):.1f} 'wanted, mask'",
          "-fill", "#e07000", "-draw", f"text {x(27):.1f},{y(-12):.1f} 'interferer +35 dB, mask'"]
subprocess.run(["convert", "-size", f"{width}x{height}", "xc:white", "-font", "DejaVu-Sans", "-pointsize", "12",
                "-strokewidth", "1", *draw, *labels, "-colors", "32", sys.argv[2]], check=True)
PY

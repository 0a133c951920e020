#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that every folder of src/ includes only the layers beneath it, that only the Qt toolkit and the
plot views include Qt, and that no folder holds more than 30 source files directly.

Usage: check_layers.py SRC_DIR. Prints each breach and exits 1 when there is one."""
import os
import re
import sys

# What each room may include besides itself. The DSP core takes from the runtime only the export macro and
# the text of numbers in messages and their ranges, none of which holds an array.
CORE_RUNTIME = {"runtime/shared_api.h", "runtime/shortest_text.h", "runtime/value_range.h"}
ALLOWED = {
    "runtime": set(),
    "phy": {"runtime"},
    "mac": {"phy", "runtime"},
    "rx": {"phy", "runtime"},
    "channel": {"phy", "rx", "runtime"},
    "instrument": {"runtime"},
    "sdr": {"runtime", "phy", "rx"},
    "settings": {"runtime", "phy", "mac"},
    "files": {"runtime", "phy", "mac", "rx", "settings", "instrument"},
    "testbench": {"runtime", "phy", "mac", "rx", "channel", "settings", "files"},
    "toolkit": {"runtime"},
    "windows": {"runtime", "phy", "mac", "rx", "channel", "instrument", "settings", "files", "testbench", "toolkit"},
    "qt": {"runtime", "toolkit"},
    "plots": {"runtime", "phy"},
    "plots/views": {"runtime", "phy", "plots", "toolkit", "qt"},
    "library": None,  # the top layer knows every room
}
DSP_CORE = {"phy", "mac", "rx", "channel"}
QT_ROOMS = {"qt", "plots/views"}
MAX_FILES = 30
SOURCE = re.compile(r"\.(c|cpp|h)$")
INCLUDE = re.compile(r'^\s*#\s*include\s+([<"])([^>"]+)[>"]', re.M)


def room_of(relative):
    parts = relative.split("/")
    if parts[0] == "plots" and len(parts) > 2 and parts[1] == "views":
        return "plots/views"
    return parts[0]


def include_room(path):
    parts = path.split("/")
    if len(parts) < 2:
        return None
    if parts[0] == "plots" and parts[1] == "views":
        return "plots/views"
    return parts[0]


def main(src):
    breaches = []
    for folder, _, names in os.walk(src):
        sources = [n for n in names if SOURCE.search(n)]
        if len(sources) > MAX_FILES:
            breaches.append(f"{os.path.relpath(folder, src)}: {len(sources)} source files (at most {MAX_FILES})")
        for name in sources:
            relative = os.path.relpath(os.path.join(folder, name), src)
            room = room_of(relative)
            allowed = ALLOWED.get(room, set())
            text = open(os.path.join(folder, name), encoding="utf-8").read()
            for bracket, path in INCLUDE.findall(text):
                if bracket == "<":
                    if (path.startswith("Q") or path == "qcustomplot.h") and room not in QT_ROOMS:
                        breaches.append(f"{relative}: includes <{path}>; only {sorted(QT_ROOMS)} include Qt")
                    continue
                target = include_room(path)
                # dot11b/...: the public C header, which every layer may implement.
                if target in (None, "dot11b") or target == room or allowed is None:
                    continue
                if room in DSP_CORE and target == "runtime" and path not in CORE_RUNTIME:
                    breaches.append(f"{relative}: the DSP core includes {path}")
                elif target not in allowed:
                    breaches.append(f"{relative}: includes {path}, which is not beneath {room}")
    for b in sorted(breaches):
        print(b)
    return 1 if breaches else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))

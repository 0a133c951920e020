#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the debug information of one program or library where debuggers look for it by build ID:
# install_debug_info.sh BINARY DEBUG_FOLDER   (writes DEBUG_FOLDER/.build-id/xx/yyyy.debug)
set -euo pipefail
id="$(readelf -n "$1" | sed -n 's/^ *Build ID: //p')"
[ -n "$id" ] || { echo "$1 has no build ID" >&2; exit 1; }
out="$2/.build-id/${id:0:2}/${id:2}.debug"
mkdir -p "$(dirname "$out")"
objcopy --only-keep-debug --compress-debug-sections "$1" "$out"
chmod 644 "$out"

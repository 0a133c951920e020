#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian packages into build/package/ (dot11b-wavegen_VERSION_ARCH.deb and its debug symbols,
# dot11b-wavegen-dbgsym_VERSION_ARCH.deb) and prints their names. The maintainer is DEBFULLNAME <DEBEMAIL>
# when both are set, as for Debian's own tools.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >&2
mkdir -p build/package
(cd build && cpack -G DEB -B package >&2)
ls build/package/*.deb

#!/usr/bin/env bash
# Builds the Debian package into build/package/ (dot11b-wavegen_VERSION_ARCH.deb) and prints its name.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh >&2
mkdir -p build/package
(cd build && cpack -G DEB -B package >&2)
ls build/package/*.deb

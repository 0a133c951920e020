#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (leak checking on, no recovery
# from undefined behaviour) in build-sanitize/, and runs every test there, the window and plot tests
# included, but those labelled python (they run Debian's Python, which the sanitizers' run-time cannot join)
# and package (they package the build for Debian). Any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize
ctest --preset sanitize

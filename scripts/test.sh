#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, fuzzes the parameter-file loader for 40 s, the simulator's SCPI parser, the
# literal parser of `dot11b call`, the capture readers of `dot11b verify` and the command line's option lists
# for 20 s each, then runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
scripts/fuzz.sh 40 parameter_file
scripts/fuzz.sh 20 scpi_message call_literal capture_file option_list
ctest --preset default

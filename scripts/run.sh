#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts the application (arguments are passed on to dot11b: a command
# such as "estimate --set dataRate=2" runs that command instead).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec build/bin/dot11b "$@"

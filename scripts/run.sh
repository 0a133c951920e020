#!/usr/bin/env bash
# Installs what is missing, builds, and starts dot11b (arguments are passed on; default: --help).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
if [ $# -eq 0 ]; then set -- --help; fi
exec build/bin/dot11b "$@"

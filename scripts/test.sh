#!/usr/bin/env bash
# Installs what is missing, builds, fuzzes the parameter-file loader for 60 s, then runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
scripts/fuzz.sh 60
ctest --preset default

# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that drive the real window from outside with xdotool, from the checkout's top folder
# with the pictures' folder as $1 (docs/ when none is given): $out is that folder, $build the build, $work a
# scratch folder removed on exit, and SoapySDR loads only the tests' loopback radio.
# drive_window SCRIPT runs SCRIPT with bash inside a virtual X server (Xvfb, no window manager: windows are
# focused, not activated), in $work, with BUILD and OUT set for it, once the application has started and its
# main window has the focus: SCRIPT finds the application's process in $app and its window in $main.
out="${1:-docs}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
build="$PWD/build"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/no-soapy-root"
export SOAPY_SDR_ROOT="$work/no-soapy-root" SOAPY_SDR_PLUGIN_PATH="$build/tests/sdr/loopback_radio"
export DOT11B_SPLASH_MS=0 QT_QPA_PLATFORM=xcb

cat > "$work/open_window.sh" <<'OPEN'
set -euo pipefail
"$BUILD/bin/dot11b" gui &
app=$!
main=$(timeout 30 xdotool search --sync --onlyvisible --name "Vantrel Wavendo" | head -1)
xdotool windowfocus --sync "$main"
OPEN

drive_window() {
  (cd "$work" && BUILD="$build" OUT="$out" xvfb-run -a -s "-screen 0 1600x1000x24" \
    bash -c 'source open_window.sh && source "$1"' drive "$1")
}

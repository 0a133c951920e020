#!/usr/bin/env bash
# Builds the Debian package from the build folder, unpacks it into a temporary root and runs what it holds
# from there: the installed dot11b and dot11b-sgsim, the Python module, the desktop entry, the manual pages.
# check_deb.sh BUILD_FOLDER
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work/package" >/dev/null)
deb="$(ls "$work"/package/*.deb)"
root="$work/root"
dpkg -x "$deb" "$root"

"$root/usr/bin/dot11b" --help | grep -q "^Usage: dot11b COMMAND"
"$root/usr/bin/dot11b" estimate --frames 2 | grep -qx 91584
"$root/usr/bin/dot11b-sgsim" --help | grep -q "^usage: dot11b-sgsim"
# The unpacked library, not the build's, serves the module.
PYTHONPATH="$root/usr/lib/python3/dist-packages" /usr/bin/python3 - "$root" <<'PY'
import sys
import dot11b
root = sys.argv[1]
assert dot11b.__file__.startswith(root), dot11b.__file__
assert open("/proc/self/maps").read().count(root + "/usr/lib/dot11b/libDot11b_c_lib.so") > 0
samples, markers = dot11b.generate(dataLength=10)
assert samples.size == dot11b.estimate(dataLength=10)
# The About window points at the README the package installs.
dot11b.call("Dot11b_GUI_c", "InitializeAppInfo", nargout=0)
website = dot11b._dot11b.get_global("appInfo")["NotesLine7"]
assert website == "Website: file://" + root + "/usr/share/doc/dot11b-wavegen/README.md", website
print("module", dot11b.__file__)
PY
desktop-file-validate "$root/usr/share/applications/dot11b.desktop"
test -s "$root/usr/share/icons/hicolor/128x128/apps/dot11b.png"
test -s "$root/usr/share/doc/dot11b-wavegen/README.md"
test -s "$root/usr/share/doc/dot11b-wavegen/docs/main.png"
for page in dot11b dot11b-sgsim; do
  zcat "$root/usr/share/man/man1/$page.1.gz" | grep -q '^\.TH'
done
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6"
echo "package ok: $(basename "$deb")"

#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian packages from the build folder, checks them as Debian's tools do (lintian, the AppStream
# and desktop-entry validators), unpacks the package into a temporary root and runs what it holds from there:
# the installed dot11b and dot11b-sgsim, the Python module, the desktop entry, the manual pages.
# check_deb.sh BUILD_FOLDER
set -euo pipefail
# A failing step names itself: several end without a word of their own (grep, test, lintian's quiet runs).
trap 'echo "check_deb.sh: line $LINENO failed: $BASH_COMMAND" >&2' ERR
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$build" && env -u DEBFULLNAME -u DEBEMAIL cpack -G DEB -B "$work/package" >/dev/null)
deb="$(ls "$work"/package/dot11b-wavegen_*.deb)"
dbgsym="$(ls "$work"/package/dot11b-wavegen-dbgsym_*.deb)"
# The GNU Radio module's package, when the build has the module.
gnuradio=("$work"/package/gr-dot11b_*.deb)
[ -e "${gnuradio[0]}" ] || gnuradio=()
lintian --fail-on error,warning "$deb" "$dbgsym" "${gnuradio[@]}" 2>/dev/null
# lintian's hardening notes are only informational; none may show.
if lintian -I "$deb" 2>/dev/null | grep hardening; then exit 1; fi
root="$work/root"
dpkg -x "$deb" "$root"
dpkg -x "$dbgsym" "$work/dbgsym"
for package in "${gnuradio[@]}"; do dpkg -x "$package" "$root"; done

# Every binary is stripped, and its debug information is in the debug-symbols package under its build ID.
find "$root" -type f -name '*.so' -o -type f -path '*/bin/*' -o -type f -path '*/extcap/*' | while read -r binary; do
  if readelf -S "$binary" | grep '\.symtab' >/dev/null; then echo "not stripped: $binary" >&2; exit 1; fi
  id="$(readelf -n "$binary" | sed -n 's/^ *Build ID: //p')"
  readelf -S "$work/dbgsym/usr/lib/debug/.build-id/${id:0:2}/${id:2}.debug" 2>/dev/null | grep "\.debug_line" >/dev/null
done

# Every binary carries Debian's hardening: PIE, stack protector, fortified functions, read-only relocations
# bound at start. Control-flow protection is not asked for: Debian 12's start files carry no IBT note, so
# no program linked there has it, Debian's own included. A binary that calls memcpy, memmove, memset (and
# strncpy, in Boost's error texts that GNU Radio's headers bring) only with sizes known at run time has
# nothing fortification could check, which hardening-check reports as "only unprotected functions": a binary
# with any other unprotected function and none protected fails.
find "$root" -type f \( -name '*.so' -o -path '*/bin/*' \) -print0 | while IFS= read -r -d '' binary; do
  hardening-check --quiet --nocfprotection --nofortify "$binary"
  report="$(hardening-check --verbose --nocfprotection "$binary" || true)"
  if ! grep -q 'Fortify Source functions: yes' <<<"$report" &&
     grep 'unprotected:' <<<"$report" | grep -vE 'unprotected: (memcpy|memmove|memset|strncpy)$'; then
    echo "unfortified calls in $binary" >&2
    exit 1
  fi
done

# Programs' outputs are read whole: grep -q would leave early and, under pipefail, the writer's SIGPIPE
# would fail the check at random.
"$root/usr/bin/dot11b" --help | grep "^Usage: dot11b COMMAND" >/dev/null
"$root/usr/bin/dot11b" estimate --frames 2 | grep -qx 91584
"$root/usr/bin/dot11b-sgsim" --help | grep "^usage: dot11b-sgsim" >/dev/null
# The GNU Radio module's bindings find the blocks' library in the application's library folder.
for module in "$root"/usr/lib/python3/dist-packages/gnuradio/dot11b/*.so; do
  [ -e "$module" ] || continue
  if ldd "$module" | grep "not found"; then exit 1; fi
  found="$(ldd "$module" | sed -n 's/^\s*libgnuradio-dot11b[^ ]* => \([^ ]*\) .*/\1/p')"
  [ "$(realpath "$found")" = "$root/usr/lib/x86_64-linux-gnu/dot11b/libgnuradio-dot11b.so.0.1.0" ]
done
# Wireshark finds the capture interface in its own extcap folder.
"$root/usr/lib/x86_64-linux-gnu/wireshark/extcap/dot11b-extcap" --help | grep "^Usage: dot11b-extcap" >/dev/null
# The unpacked library, not the build's, serves the module.
PYTHONPATH="$root/usr/lib/python3/dist-packages" /usr/bin/python3 - "$root" <<'PY'
import sys
import dot11b
root = sys.argv[1]
assert dot11b.__file__.startswith(root), dot11b.__file__
assert open("/proc/self/maps").read().count(root + "/usr/lib/x86_64-linux-gnu/dot11b/libDot11b_c_lib.so") > 0
samples, markers = dot11b.generate(dataLength=10)
assert samples.size == dot11b.estimate(dataLength=10)
# The About window points at the README the package installs.
dot11b.call("Dot11b_GUI_c", "InitializeAppInfo", nargout=0)
website = dot11b._dot11b.get_global("appInfo")["NotesLine7"]
assert website == "Website: file://" + root + "/usr/share/doc/dot11b-wavegen/README.md", website
print("module", dot11b.__file__)
PY
desktop-file-validate "$root/usr/share/applications/dot11b.desktop"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >/dev/null
test -s "$root/usr/share/icons/hicolor/128x128/apps/dot11b.png"
test -s "$root/usr/share/doc/dot11b-wavegen/README.md"
test -s "$root/usr/share/doc/dot11b-wavegen/docs/main.png"
for page in dot11b dot11b-sgsim; do
  zcat "$root/usr/share/man/man1/$page.1.gz" | grep '^\.TH' >/dev/null
done
dpkg-deb -f "$deb" Depends | grep "libqt6widgets6" >/dev/null

# Whoever makes the package names its maintainer, as for Debian's own tools.
(cd "$build" && DEBFULLNAME="A Packager" DEBEMAIL=packager@example.org \
   cpack -G DEB -B "$work/named" -D CPACK_COMPONENTS_ALL=Unspecified >/dev/null)
dpkg-deb -f "$work"/named/dot11b-wavegen_*.deb Maintainer | grep -x "A Packager <packager@example.org>" >/dev/null
echo "package ok: $(basename "$deb") $(basename "$dbgsym")"

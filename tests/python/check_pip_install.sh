#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# pip's package as a Python user gets it, with no network: a fresh virtual environment (seeing Debian's
# numpy and SciPy), pip install of python/ reusing the build folder's build, the package imported outside the
# source tree with its own library, a frame generated and verified, the Python tests against the installed
# package, and pip uninstall leaving nothing behind.
# check_pip_install.sh SOURCE_FOLDER BUILD_FOLDER
set -euo pipefail
source="$1"
build="$2"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# No index, and whatever tries the network anyway meets a closed port on loopback.
export PIP_NO_INDEX=1 PIP_DISABLE_PIP_VERSION_CHECK=1
export http_proxy=http://127.0.0.1:9 https_proxy=http://127.0.0.1:9 HTTP_PROXY=http://127.0.0.1:9 HTTPS_PROXY=http://127.0.0.1:9
unset PYTHONPATH
/usr/bin/python3 -m venv --system-site-packages "$work/venv"
DOT11B_CMAKE_BUILD_DIR="$build" "$work/venv/bin/pip" install --quiet --no-build-isolation "$source/python"

cd "$work"
site="$("$work/venv/bin/python" -c 'import sysconfig; print(sysconfig.get_path("platlib"))')"
"$work/venv/bin/python" - "$site" <<'PY'
import sys
import dot11b
site = sys.argv[1]
assert dot11b.__file__ == site + "/dot11b/__init__.py", dot11b.__file__
samples, markers = dot11b.generate(dataRate=11, MACfcs_Active=1, dataLength=100)
frame = dot11b.verify(samples, 44e6)["frames"][0]
assert frame["fcs_ok"] and frame["rate_mbps"] == 11, frame
maps = open("/proc/self/maps").read()
assert site + "/dot11b/libDot11b_c_lib.so" in maps, "the library is not the package's own"
assert "libQt6" not in maps, "Qt is loaded"
PY
"$work/venv/bin/python" "$source/tests/python/test_dot11b.py"

"$work/venv/bin/pip" uninstall --quiet --yes dot11b-wavegen
left="$(find "$site" -iname '*dot11b*')"
[ -z "$left" ] || { echo "left after pip uninstall: $left" >&2; exit 1; }
echo "pip package ok"

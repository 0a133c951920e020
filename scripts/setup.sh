#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian 12 packages the build and the tests need; does nothing when all are present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-tools-dev libqt6opengl6-dev libqcustomplot-dev libxcb1-dev
  libmatio-dev zlib1g-dev libfftw3-dev libserialport-dev nlohmann-json3-dev
  libgtest-dev libbenchmark-dev
  python3-scipy python3-numpy python3-dev pybind11-dev clang libclang-rt-14-dev fonts-dejavu-core
  desktop-file-utils help2man lintian appstream devscripts
  python3-venv python3-pip python3-setuptools
  libsoapysdr-dev soapysdr-tools tshark
  gnuradio-dev gir1.2-gtk-3.0 python3-gi-cairo
  xvfb xauth imagemagick xdotool
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"

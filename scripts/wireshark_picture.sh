#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws the README's picture of Wireshark's dissection of a beacon (docs/wireshark-beacon.png, or the file
# given): three beacons played by the tests' loopback radio, decoded by 'dot11b verify --device --pcap', and
# the first one as 'tshark -V' shows it. Needs the build with its tests (scripts/build.sh), tshark and
# ImageMagick; no radio and no display.
set -euo pipefail
cd "$(dirname "$0")/.."
picture="$(realpath -m "${1:-docs/wireshark-beacon.png}")"
source scripts/picture_support.sh
"$tool" generate --template beacon --ssid lab --bssid 02:11:22:33:44:55 --ta 02:11:22:33:44:55 --frames 3 --set OverSampling=2 --set rampLength=44 --format cf32 \
  --out beacons.cf32 >/dev/null 2>&1
"$tool" verify --device driver=loopback,max_rate=22e6,play=beacons.cf32 --frequency 2412e6 --rate 22e6 \
  --duration 0.002 --gain 30 --pcap beacons.pcapng >/dev/null 2>&1
# The radiotap header and the 802.11 frame, without the bits of each flag (but with the sequence number).
{
  echo "\$ tshark -r beacons.pcapng -o wlan.check_checksum:TRUE -n -c 1 -O radiotap,wlan,wlan.mgt -V"
  tshark -r beacons.pcapng -o wlan.check_checksum:TRUE -n -c 1 -O radiotap,wlan,wlan.mgt -V 2>/dev/null |
    sed -E '/Sequence number/b; /^ +[.01]{4} [.01]{4}|^ +Present flags word|^ +Bit |^$/d'
} >terminal.txt
render_terminal terminal.txt 12 -append "$picture"

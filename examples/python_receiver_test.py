# SPDX-License-Identifier: GPL-3.0-or-later
"""A receiver test bench in a few lines: three beacons through a noisy channel with a carrier offset,
decoded by the built-in receiver. Run with Debian's Python and the package on the path:

    PYTHONPATH=build/python /usr/bin/python3 examples/python_receiver_test.py
"""

import dot11b

rate = 44e6  # the start values: 4 samples a chip
samples, markers = dot11b.generate(frames=3, template="beacon", ssid="dot11b-test", dataRate=2)
received = dot11b.impair(samples, rate, markers=markers, snr=6, cfo=40e3, seed=7)
for frame in dot11b.verify(received, rate)["frames"]:
    mac = frame.get("mac", {})
    print(f"frame at sample {frame['start_sample']:.0f}: {frame['rate_mbps']} Mbit/s, FCS {'ok' if frame['fcs_ok'] else 'bad'}, "
          f"sequence number {mac.get('sequence_number')}, SSID {mac.get('ssid')!r}, carrier offset {frame['cfo_hz']:.0f} Hz")

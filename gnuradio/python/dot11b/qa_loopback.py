#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Modulator, GNU Radio's own channel model and the receiver in one flowgraph: at 20 dB SNR, 50 kHz carrier
offset and 10 ppm timing offset, every frame at 1, 2, 5.5 and 11 Mbit/s decodes with a good FCS and its
rate."""

import numpy as np
import pmt
from gnuradio import blocks, channels, gr, gr_unittest

from gnuradio import dot11b
from qa_support import pdu, received, wait_for

RATE = 22e6  # oversampling 2
RATES = [1.0, 2.0, 5.5, 11.0]
FRAMES_PER_RATE = 3


def frame_power():
    """The mean power of a frame's samples (ramps and idle interval left out)."""
    tb = gr.top_block()
    modulator = dot11b.modulator(rate=11, oversampling=2)
    sink = blocks.vector_sink_c()
    tb.connect(modulator, sink)
    modulator.to_basic_block()._post(pmt.intern("pdus"), pdu(bytes(1000)))
    tb.start()
    wait_for(lambda: len(sink.data()) > 0 and any(t for t in sink.tags() if pmt.symbol_to_string(t.key) == "tx_eob"))
    tb.stop()
    tb.wait()
    samples = np.array(sink.data())
    on = np.abs(samples) > 0.1 * np.abs(samples).max()
    return np.mean(np.abs(samples[on]) ** 2)


class qa_loopback(gr_unittest.TestCase):
    def test_every_rate_decodes_through_the_channel_model(self):
        noise_voltage = np.sqrt(frame_power() / 10 ** (20 / 10))
        tb = gr.top_block()
        modulator = dot11b.modulator(rate=11, oversampling=2)
        channel = channels.channel_model(noise_voltage=noise_voltage, frequency_offset=50e3 / RATE,
                                         epsilon=1 + 10e-6, taps=[1.0], noise_seed=37)
        rx = dot11b.receiver(RATE)
        debug = blocks.message_debug()
        tb.connect(modulator, channel, rx)
        tb.msg_connect(rx, "pdus", debug, "store")
        bodies = []
        for rate in RATES:
            for k in range(FRAMES_PER_RATE):
                body = bytes((7 * k + int(2 * rate) + i) % 256 for i in range(200))
                bodies.append((rate, body))
                modulator.to_basic_block()._post(pmt.intern("pdus"), pdu(body, rate=rate))
        tb.start()
        # Each frame's idle interval lets the receiver finish it while the stream waits for more.
        wait_for(lambda: debug.num_messages() >= len(bodies))
        tb.stop()
        tb.wait()
        frames = received(debug)
        self.assertEqual([m["rate"] for m, _ in frames], [r for r, _ in bodies])
        for (meta, octets), (rate, body) in zip(frames, bodies):
            with self.subTest(rate=rate):
                self.assertTrue(meta["fcs_ok"])
                self.assertEqual(octets[-4 - len(body):-4], body)  # between the MAC header and the FCS
                self.assertAlmostEqual(meta["cfo_hz"], 50e3, delta=3e3)
                self.assertAlmostEqual(meta["clock_ppm"], 10, delta=3)  # epsilon 1 + 1e-5: a fast clock


if __name__ == "__main__":
    gr_unittest.run(qa_loopback)

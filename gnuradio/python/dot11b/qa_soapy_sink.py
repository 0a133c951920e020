#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Bursts of the modulator through GNU Radio's Soapy sink into the tests' loopback radio (SOAPY_SDR_ROOT an
empty folder, SOAPY_SDR_PLUGIN_PATH the loopback radio's folder alone): each frame is one burst, and what
the radio stored decodes frame for frame."""

import gc
import os
import tempfile

import numpy as np
import pmt
from gnuradio import blocks, gr, gr_unittest, soapy

from gnuradio import dot11b
from qa_support import pdu, received, wait_for

RADIO_RATE = 20e6  # the loopback radio's highest: the frames are resampled to it
BODIES = [bytes(range(k, k + 120)) for k in range(3)]


class qa_soapy_sink(gr_unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.store = os.path.join(self.folder.name, "sent.cf32")

    def test_bursts_through_the_soapy_sink_decode_from_the_radio(self):
        tb = gr.top_block()
        modulator = dot11b.modulator(rate=11, oversampling=2, samp_rate=RADIO_RATE)
        sink = soapy.sink("driver=loopback", "fc32", 1, "format=CF32,full_scale=1,store=" + self.store, "",
                          [""], [""])
        sink.set_sample_rate(0, RADIO_RATE)
        sink.set_frequency(0, 2412e6)
        sink.set_length_tag_name("packet_len")
        tb.connect(modulator, sink)
        # Frames of the same length and settings: how much the radio will have stored.
        frame = dot11b.frame_source(settings=["OverSampling=2", "MACheader.Active=1", "MACfcs.Active=1",
                                              f"dataLength={len(BODIES[0])}"], samp_rate=RADIO_RATE)
        expected = len(BODIES) * frame.waveform_length()

        tb.start()
        # GNU Radio 3.10.5's Soapy sink drops what it is handed first, before it knows its bursts (it prints
        # "tPtG"): a first frame goes to it alone.
        modulator.to_basic_block()._post(pmt.intern("pdus"), pdu(bytes(len(BODIES[0]))))
        self.assertTrue(wait_for(lambda: sink.nitems_read(0) >= frame.waveform_length()))
        for body in BODIES:
            modulator.to_basic_block()._post(pmt.intern("pdus"), pdu(body))
        wait_for(lambda: os.path.exists(self.store) and os.path.getsize(self.store) >= 8 * expected)
        tb.stop()
        tb.wait()
        del tb, sink  # the radio is let go, and says what it was sent
        gc.collect()
        with open(self.store + ".txt") as f:
            log = f.read()
        self.assertIn(f"bursts={len(BODIES)}\n", log)
        self.assertIn(f"samples={expected}\n", log)
        self.assertIn("released=1", log)

        stored = np.fromfile(self.store, dtype=np.complex64)
        decode = gr.top_block()
        rx = dot11b.receiver(RADIO_RATE)
        debug = blocks.message_debug()
        decode.connect(blocks.vector_source_c(stored.tolist() + [0] * 1000), rx)
        decode.msg_connect(rx, "pdus", debug, "store")
        decode.run()
        frames = received(debug)
        self.assertEqual([octets[-4 - len(body):-4] for (_, octets), body in zip(frames, BODIES)], BODIES)
        self.assertTrue(all(meta["fcs_ok"] and meta["rate"] == 11 for meta, _ in frames))


if __name__ == "__main__":
    gr_unittest.run(qa_soapy_sink)

#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The modulator against dot11b generate: the same settings and payload give the same samples, bit for bit,
each frame a burst with its tags; a PDU's metadata sets its own frame."""

import os
import tempfile

import numpy as np
import pmt
from gnuradio import blocks, gr, gr_unittest

from gnuradio import dot11b
from qa_support import dot11b as run_cli, pdu, wait_for

BODY = np.random.default_rng(37).integers(0, 256, 100, dtype=np.uint8)


class qa_modulator(gr_unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.payload = os.path.join(self.folder.name, "body.bin")
        BODY.tofile(self.payload)

    def generate(self, *settings):
        """dot11b generate's frame with the payload file for data."""
        out = os.path.join(self.folder.name, "frame.cf32")
        args = ["generate", "--out", out, "--set", "dataSourceType=7", "--set", "dataSourceName=" + self.payload,
                "--set", f"dataLength={BODY.size}"]
        for s in settings:
            args += ["--set", s]
        run_cli(*args)
        return np.fromfile(out, dtype=np.complex64)

    def modulate(self, modulator, pdus, samples):
        """The first `samples` samples the modulator makes of the PDUs, and their tags."""
        tb = gr.top_block()
        sink = blocks.vector_sink_c()
        tb.connect(modulator, sink)
        for p in pdus:
            modulator.to_basic_block()._post(pmt.intern("pdus"), p)
        # The modulator waits for PDUs without end: the flowgraph is stopped once the samples are in.
        tb.start()
        wait_for(lambda: len(sink.data()) >= samples)
        tb.stop()
        tb.wait()
        tags = [(t.offset, pmt.symbol_to_string(t.key), pmt.to_python(t.value)) for t in sink.tags()]
        return np.array(sink.data(), dtype=np.complex64), sorted(tags)

    def test_samples_equal_generate_bit_for_bit(self):
        cases = [
            (dict(rate=11), ["dataRate=11", "MACheader.Active=1", "MACfcs.Active=1"]),
            (dict(rate=5.5, preamble="short", modulation="PBCC", filter="root-raised-cosine", oversampling=3),
             ["dataRate=5.5", "preambleType=1", "highRateMod=1", "FilterType=2", "OverSampling=3",
              "MACheader.Active=1", "MACfcs.Active=1"]),
            (dict(rate=2, filter="rectangular", mac_and_fcs=False, settings=["rampType=0", "idleSamples=40"]),
             ["dataRate=2", "FilterType=0", "rampType=0", "idleSamples=40"]),
        ]
        for block_settings, cli_settings in cases:
            with self.subTest(**{k: str(v) for k, v in block_settings.items()}):
                expected = self.generate(*cli_settings)
                got, tags = self.modulate(dot11b.modulator(**block_settings), [pdu(BODY)], expected.size)
                self.assertEqual(got.tobytes(), expected.tobytes())
                self.assertEqual(tags, [(0, "packet_len", expected.size), (0, "tx_sob", True),
                                        (expected.size - 1, "tx_eob", True)])

    def test_metadata_sets_each_frame_and_a_bad_value_drops_its_pdu_only(self):
        first = self.generate("dataRate=1", "MACheader.Active=1", "MACfcs.Active=1", "idleSamples=50")
        second = self.generate("dataRate=11", "MACheader.Active=1", "MACfcs.Active=1")
        pdus = [pdu(BODY, rate=1.0, idleSamples=50, other_blocks_key="left alone"),
                pdu(BODY, rate=3.0),         # not a rate: dropped
                pdu(BODY, preamble="medium"),  # dropped
                pdu(BODY)]
        got, tags = self.modulate(dot11b.modulator(rate=11), pdus, first.size + second.size)
        self.assertEqual(got.tobytes(), np.concatenate([first, second]).tobytes())
        self.assertEqual([t for t in tags if t[1] == "tx_sob"], [(0, "tx_sob", True), (first.size, "tx_sob", True)])

    def test_bad_settings_are_refused_when_the_block_is_made(self):
        for settings in [dict(rate=3), dict(preamble="medium"), dict(oversampling=0.5), dict(settings=["nope=1"]),
                         dict(samp_rate=-1)]:
            with self.subTest(**{k: str(v) for k, v in settings.items()}):
                with self.assertRaises(ValueError):
                    dot11b.modulator(**settings)

    def test_frame_source_plays_generates_sequence_with_gaps(self):
        out = os.path.join(self.folder.name, "beacons.cf32")
        run_cli("generate", "--out", out, "--frames", "2", "--template", "beacon", "--ssid", "grc", "--set",
                "OverSampling=2")
        expected = np.fromfile(out, dtype=np.complex64)
        source = dot11b.frame_source(settings=["OverSampling=2"], frames=2, frame_template="beacon", ssid="grc",
                                     repeat=True, gap=1e-5)
        self.assertEqual(source.waveform_length(), expected.size)
        gap = 220  # 10 us at 22 Msample/s
        tb = gr.top_block()
        head = blocks.head(gr.sizeof_gr_complex, 2 * (expected.size + gap))
        sink = blocks.vector_sink_c()
        tb.connect(source, head, sink)
        tb.run()
        played = np.array(sink.data(), dtype=np.complex64)
        once = np.concatenate([expected, np.zeros(gap, np.complex64)])
        self.assertEqual(played.tobytes(), np.concatenate([once, once]).tobytes())

        once_source = dot11b.frame_source(settings=["OverSampling=2"], frames=2, frame_template="beacon",
                                          ssid="grc", repeat=False)
        tb = gr.top_block()
        sink = blocks.vector_sink_c()
        tb.connect(once_source, sink)
        tb.run()  # played once, the stream ends
        self.assertEqual(np.array(sink.data(), dtype=np.complex64).tobytes(), expected.tobytes())
        with self.assertRaises(ValueError):
            dot11b.frame_source(frame_template="beacon", ssid="x" * 33)


if __name__ == "__main__":
    gr_unittest.run(qa_modulator)

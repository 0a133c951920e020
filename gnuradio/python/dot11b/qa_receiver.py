#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The receiver block against dot11b verify of the same samples: the same frames with the same metadata;
the pass-through output carries the samples with a tag at each frame's start."""

import os
import tempfile

import numpy as np
import pmt
from gnuradio import blocks, gr, gr_unittest

from gnuradio import dot11b
from qa_support import dot11b as run_cli, received, verify_json


class qa_receiver(gr_unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.TemporaryDirectory()
        # Beacons, then frames at each rate, with a carrier and clock offset and noise, at 33 Msample/s
        # (oversampling 3), which the receiver resamples.
        parts = []
        for rate, extra in [("1", ["--template", "beacon", "--frames", "2"]), ("2", []), ("5.5", []),
                            ("11", ["--set", "highRateMod=1", "--set", "preambleType=1"])]:
            out = os.path.join(cls.folder.name, f"part{rate}.cf32")
            run_cli("generate", "--out", out, "--set", "dataRate=" + rate, "--set", "dataSourceType=5",
                    "--set", "dataLength=60", "--set", "MACheader.Active=1", "--set", "MACfcs.Active=1",
                    "--set", "OverSampling=3", "--snr", "25", "--cfo", "30000", "--clock-ppm", "-8",
                    *extra)
            parts.append(np.fromfile(out, dtype=np.complex64))
        cls.samples = np.concatenate(parts)
        cls.rate = 33e6
        cls.path = os.path.join(cls.folder.name, "capture.cf32")
        cls.samples.tofile(cls.path)
        cls.verified = verify_json(cls.path, cls.rate)["frames"]

    @classmethod
    def tearDownClass(cls):
        cls.folder.cleanup()

    def run_receiver(self, with_output):
        tb = gr.top_block()
        source = blocks.file_source(gr.sizeof_gr_complex, self.path, False)
        rx = dot11b.receiver(self.rate)
        debug = blocks.message_debug()
        tb.connect(source, rx)
        tb.msg_connect(rx, "pdus", debug, "store")
        sink = None
        if with_output:
            sink = blocks.vector_sink_c()
            tb.connect(rx, sink)
        tb.run()
        return received(debug), sink, rx

    def test_frames_and_metadata_equal_verify(self):
        frames, _, rx = self.run_receiver(False)
        self.assertEqual(len(self.verified), 5)
        self.assertEqual(rx.frames(), len(frames))
        self.assertEqual(len(frames), len(self.verified))
        for (meta, octets), v in zip(frames, self.verified):
            self.assertEqual(meta["rate"], v["rate_mbps"])
            self.assertEqual(meta["preamble"], v["preamble"])
            self.assertEqual(meta["modulation"], v["modulation"])
            self.assertEqual(meta["fcs_ok"], v["fcs_ok"])
            self.assertTrue(meta["fcs_ok"])
            self.assertEqual(meta["offset"], round(v["start_sample"]))
            self.assertEqual(octets.hex(), v["psdu_hex"])
            for key, verify_key in [("cfo_hz", "cfo_hz"), ("clock_ppm", "clock_ppm"), ("evm", "evm_rms_percent")]:
                self.assertAlmostEqual(meta[key], v[verify_key], places=9)
            self.assertAlmostEqual(meta["cfo_hz"], 30000, delta=2000)
            # The frames' mean power, without their idle intervals (the samples' own figure, dB full scale).
            self.assertLess(abs(meta["level_db"]), 6)

    def test_pass_through_tags_each_frame_start(self):
        frames, sink, _ = self.run_receiver(True)
        passed = np.array(sink.data(), dtype=np.complex64)
        self.assertGreater(passed.size, 0)
        self.assertEqual(passed.tobytes(), self.samples[:passed.size].tobytes())
        tags = [t for t in sink.tags() if pmt.symbol_to_string(t.key) == "dot11b_frame"]
        starts = [meta["offset"] for meta, _ in frames if meta["offset"] < passed.size]
        self.assertEqual([t.offset for t in tags], starts)
        self.assertEqual(pmt.to_python(tags[0].value)["rate"], 1.0)

    def test_a_rate_that_is_not_one_is_refused(self):
        for rate in [0, -1, float("nan"), float("inf")]:
            with self.assertRaises(ValueError):
                dot11b.receiver(rate)


if __name__ == "__main__":
    gr_unittest.run(qa_receiver)

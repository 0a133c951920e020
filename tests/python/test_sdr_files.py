# SPDX-License-Identifier: GPL-3.0-or-later
"""The sample files for SDR tools, as their users read them: written by `dot11b generate`, read back with numpy
alone, and decoded. Run by ctest with /usr/bin/python3."""

import json
import os
import re
import subprocess
import tempfile
import unittest

import numpy as np

import dot11b

CLI = os.environ["DOT11B_CLI"]
FRAME = ["--template", "beacon", "--ssid", "sdr-files", "--set", "OverSampling=2"]
RATE = 22e6


def generate(folder, name, *options):
    path = os.path.join(folder, name)
    run = subprocess.run([CLI, "generate", *FRAME, "--out", path, *options], capture_output=True, text=True)
    if run.returncode != 0:
        raise AssertionError(run.stderr)
    return path, run.stderr


def interleaved(values):
    """Complex samples of an interleaved I, Q row of integers."""
    return values[0::2].astype(np.float64) + 1j * values[1::2].astype(np.float64)


class SdrFiles(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.reference = np.fromfile(generate(self.folder.name, "f.cf64")[0], dtype="<c16")

    def assert_decodes(self, samples):
        frames = dot11b.verify(samples, RATE)["frames"]
        self.assertEqual(len(frames), 1)
        self.assertTrue(frames[0]["fcs_ok"])
        self.assertEqual(frames[0]["mac"]["ssid"], "sdr-files")

    def assert_scaled(self, samples, full_scale, backoff_db):
        """The integers are the reference scaled so that its peak lies backoff_db below full scale, rounded."""
        peak = max(np.abs(self.reference.real).max(), np.abs(self.reference.imag).max())
        gain = full_scale * 10 ** (-backoff_db / 20) / peak
        error = samples - self.reference * gain
        self.assertLessEqual(max(np.abs(error.real).max(), np.abs(error.imag).max()), 0.5 + 1e-9)
        self.assertEqual(max(np.abs(samples.real).max(), np.abs(samples.imag).max()), round(full_scale * 10 ** (-backoff_db / 20)))

    def test_each_format_read_with_numpy_decodes(self):
        for name, dtype, full_scale in [("f.cs8", np.int8, 127), ("f.cs16", "<i2", 32767)]:
            with self.subTest(name):
                samples = interleaved(np.fromfile(generate(self.folder.name, name)[0], dtype=dtype))
                self.assert_scaled(samples, full_scale, 1)
                self.assert_decodes(samples)
        with self.subTest("f.cf32"):
            samples = np.fromfile(generate(self.folder.name, "f.cf32")[0], dtype="<c8")
            np.testing.assert_array_equal(samples, self.reference.astype(np.complex64))
            self.assert_decodes(samples)

    def test_sigmf_integer_recording_and_its_backoff(self):
        base = generate(self.folder.name, "r.sigmf", "--sigmf-type", "ci16_le", "--backoff", "3")[0]
        with open(base + "-meta", encoding="utf-8") as meta:
            self.assertEqual(json.load(meta)["global"]["core:datatype"], "ci16_le")
        samples = interleaved(np.fromfile(base + "-data", dtype="<i2"))
        self.assert_scaled(samples, 32767, 3)
        self.assert_decodes(samples)

    def test_a_negative_backoff_clips_and_says_so(self):
        path, messages = generate(self.folder.name, "c.cs8", "--backoff", "-2")
        samples = interleaved(np.fromfile(path, dtype=np.int8))
        at_full_scale = (np.abs(samples.real) == 127) | (np.abs(samples.imag) == 127)
        clipped = int(re.search(r"(\d+) of \d+ samples clipped at full scale", messages).group(1))
        self.assertGreater(clipped, 0)
        self.assertGreaterEqual(at_full_scale.sum(), clipped)
        self.assert_decodes(samples)


if __name__ == "__main__":
    unittest.main()

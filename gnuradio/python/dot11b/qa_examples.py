#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The example flowgraphs compile with grcc (GRC_BLOCKS_PATH names the module's blocks), and the loopback's
flowgraph builds and decodes."""

import glob
import os
import runpy
import subprocess
import tempfile

from gnuradio import gr_unittest

from qa_support import wait_for

EXAMPLES = os.environ["DOT11B_GR_EXAMPLES"]


class qa_examples(gr_unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)

    def compile(self, grc):
        """The program grcc makes of the flowgraph (named after the flowgraph's id)."""
        out = tempfile.mkdtemp(dir=self.folder.name)
        done = subprocess.run(["grcc", "-o", out, grc], capture_output=True, text=True, check=False)
        self.assertEqual(done.returncode, 0, done.stdout + done.stderr)
        programs = glob.glob(os.path.join(out, "*.py"))
        self.assertEqual(len(programs), 1)
        return programs[0]

    def test_every_example_compiles(self):
        examples = sorted(glob.glob(os.path.join(EXAMPLES, "*.grc")))
        self.assertGreaterEqual(len(examples), 2)
        for grc in examples:
            with self.subTest(example=os.path.basename(grc)):
                self.compile(grc)

    def test_the_loopback_decodes_the_strobes_frames(self):
        program = self.compile(os.path.join(EXAMPLES, "loopback.grc"))
        tb = runpy.run_path(program)["dot11b_loopback"]()
        tb.start()
        decoded = wait_for(lambda: tb.dot11b_receiver_0.frames() >= 2, seconds=30)
        tb.stop()
        tb.wait()
        self.assertTrue(decoded)


if __name__ == "__main__":
    gr_unittest.run(qa_examples)

#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The receiver's frames through the Wireshark connector: the records tshark reads are those of
dot11b verify --pcap of the same samples, and a FIFO is written as soon as its reader opens it."""

import os
import subprocess
import tempfile
import threading

import numpy as np
from gnuradio import blocks, gr, gr_unittest

from gnuradio import dot11b
from qa_support import dot11b as run_cli

FIELDS = ["-e", "wlan.fcs.status", "-e", "radiotap.datarate", "-e", "radiotap.flags.preamble", "-e",
          "radiotap.dbm_antsignal", "-e", "radiotap.db_antsignal", "-e", "radiotap.channel.freq", "-e", "frame.len",
          "-e", "wlan.fc.type_subtype"]


def tshark(path):
    done = subprocess.run(["tshark", "-r", path, "-o", "wlan.check_checksum:TRUE", "-T", "fields", *FIELDS],
                          capture_output=True, text=True, check=True)
    return done.stdout.splitlines()


class qa_wireshark_connector(gr_unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.capture = os.path.join(self.folder.name, "capture.cf32")
        parts = []
        for rate, extra in [("1", ["--template", "beacon", "--ssid", "grc"]), ("5.5", ["--set", "preambleType=1"]),
                            ("11", ["--set", "highRateMod=1"])]:
            out = os.path.join(self.folder.name, f"part{rate}.cf32")
            run_cli("generate", "--out", out, "--set", "dataRate=" + rate, "--set", "OverSampling=2", "--set",
                    "MACheader.Active=1", "--set", "MACfcs.Active=1", "--set", "dataLength=40", "--snr", "30", *extra)
            parts.append(np.fromfile(out, dtype=np.complex64))
        np.concatenate(parts).tofile(self.capture)

    def decode_into(self, path):
        tb = gr.top_block()
        rx = dot11b.receiver(22e6)
        connector = dot11b.wireshark_connector(path, 22e6, 2412e6)
        tb.connect(blocks.file_source(gr.sizeof_gr_complex, self.capture, False), rx)
        tb.msg_connect(rx, "pdus", connector, "pdus")
        tb.run()
        return connector

    def test_records_equal_verify_pcap(self):
        from_block = os.path.join(self.folder.name, "block.pcapng")
        from_verify = os.path.join(self.folder.name, "verify.pcapng")
        self.assertEqual(self.decode_into(from_block).records(), 3)
        run_cli("verify", "--rate", "22e6", "--carrier", "2412e6", "--pcap", from_verify, self.capture)
        records = tshark(from_block)
        self.assertEqual(len(records), 3)
        self.assertEqual(records, tshark(from_verify))
        self.assertTrue(all(r.startswith("1\t") for r in records))  # good FCS

    def test_a_fifo_is_written_for_its_reader(self):
        fifo = os.path.join(self.folder.name, "live.pcapng")
        os.mkfifo(fifo)
        read = {}
        reader = threading.Thread(target=lambda: read.update(records=tshark(fifo)))
        reader.start()
        self.decode_into(fifo)
        reader.join(60)
        self.assertEqual(len(read["records"]), 3)

    def test_a_path_that_cannot_be_written_is_reported_not_fatal(self):
        connector = self.decode_into(os.path.join(self.folder.name, "no", "such", "folder.pcapng"))
        self.assertEqual(connector.records(), 0)


if __name__ == "__main__":
    gr_unittest.run(qa_wireshark_connector)

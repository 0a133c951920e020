# SPDX-License-Identifier: GPL-3.0-or-later
"""The radios from Python, against the tests' loopback radio (SOAPY_SDR_PLUGIN_PATH names its folder alone):
dot11b.devices, dot11b.transmit and dot11b.capture. Run by ctest with /usr/bin/python3."""

import os
import tempfile
import unittest

import time

import numpy as np

import dot11b


class Radio(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.store = os.path.join(self.folder.name, "sent.cf32")

    def test_devices_name_the_loopback_radio(self):
        found = dot11b.devices()
        self.assertEqual([(r["driver"], r["serial"]) for r in found], [("loopback", "LB0001")])
        self.assertEqual(dot11b.devices("driver=hackrf"), [])

    def test_a_beacon_sent_then_received_decodes(self):
        samples, _ = dot11b.generate(template="beacon", ssid="python-radio", OverSampling=2)
        # 22 Msample/s is beyond this radio: the frame goes out resampled to its 20.
        report = dot11b.transmit(samples, 22e6, device="driver=loopback,format=CF32,store=" + self.store,
                                 frequency=2412e6, gain=10)
        self.assertEqual(report["rate"], 20e6)
        self.assertEqual(report["underflows"], 0)
        self.assertEqual(report["sends"], 1)
        stored = np.fromfile(self.store, dtype="<c8")
        self.assertEqual(report["samples"], stored.size)
        for count in ("samples", "sends", "underflows"):
            self.assertIsInstance(report[count], int)

        received = dot11b.capture(device="driver=loopback,format=CF32,play=" + self.store, frequency=2412e6,
                                  rate=20e6, duration=stored.size / 20e6)
        self.assertEqual(received.samples.dtype, np.complex128)
        np.testing.assert_array_equal(received.samples, stored.astype(np.complex128))
        self.assertEqual((received.overflows, received.segments), (0, [0]))
        frames = dot11b.verify(received.samples, 20e6, carrier=2412e6)["frames"]
        self.assertEqual(len(frames), 1)
        self.assertTrue(frames[0]["fcs_ok"])

    def test_a_capture_counts_the_overflows_and_starts_a_segment_after_each(self):
        np.arange(8000, dtype="<f4").tofile(self.store)
        samples, overflows, segments = dot11b.capture(
            device="driver=loopback,format=CF32,mtu=1000,fault=overflow,fault_after=2000,play=" + self.store,
            frequency=2412e6, rate=20e6, duration=3000 / 20e6)
        self.assertIsInstance(overflows, int)
        self.assertEqual((overflows, segments), (1, [0, 2000]))
        # The radio lost the file's samples 2000 to 2999: sample 3000 (floats 6000 and 6001) follows 1999.
        self.assertEqual(samples[1999], 3998 + 3999j)
        self.assertEqual(samples[2000], 6000 + 6001j)

    def test_a_capture_shorter_than_a_frame_is_refused(self):
        with self.assertRaisesRegex(dot11b.RoutineError, "radio.duration"):
            dot11b.capture(device="driver=loopback", frequency=2412e6, rate=20e6, duration=1e-9)

    def test_a_refused_setting_sends_nothing(self):
        with self.assertRaisesRegex(dot11b.RoutineError, "refuse|rate"):
            dot11b.transmit(np.ones(100), 20e6, device="driver=loopback,refuse=rate,store=" + self.store,
                            frequency=2412e6)
        self.assertFalse(os.path.exists(self.store) and os.path.getsize(self.store) > 0)

    def test_a_radio_as_the_signal_generator_plays_in_a_loop_until_stopped(self):
        waveform, markers = dot11b.generate(OverSampling=2, MACheader_Active=1, MACfcs_Active=1)
        params = dict(dot11b.parameters(), OverSampling=2)
        radio = dot11b.Instrument("soapy:driver=loopback,max_rate=22e6,store=" + self.store)
        radio.download(waveform, markers)
        settings = dot11b.sig_gen_settings(params, Amplitude=10, SamplingRate=22e6)
        self.assertIn("Playing on the radio", radio.play(settings))
        status = radio.status()
        self.assertEqual((status["playing"], status["gain"], status["rate"]), (1, 10, 22e6))
        settings["Frequency"] = 2437e6
        radio.refresh(settings)
        self.assertEqual(radio.status()["frequency"], 2437e6)
        deadline = time.monotonic() + 10
        while radio.status()["samples"] < 4 * len(waveform) and time.monotonic() < deadline:
            time.sleep(0.01)
        stopped = radio.stop("done")
        self.assertEqual((stopped["stopped"], stopped["reason"]), (1, "done"))
        sent = np.fromfile(self.store, dtype="<c8")[: 4 * len(waveform)]
        frames = dot11b.verify(sent.astype(np.complex128), 22e6)["frames"]
        self.assertGreaterEqual(len(frames), 3)
        self.assertTrue(all(frame["fcs_ok"] for frame in frames[:3]))


if __name__ == "__main__":
    unittest.main()

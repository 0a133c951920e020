# SPDX-License-Identifier: GPL-3.0-or-later
"""The Python package dot11b against the command line and the simulator: run by ctest against the package pip
installed into a virtual environment (check_pip_install.sh)."""

import os
import subprocess
import tempfile
import unittest

import numpy as np
import scipy.io

import dot11b

CLI = os.environ["DOT11B_CLI"]
SGSIM = os.environ["DOT11B_SGSIM"]


class Generation(unittest.TestCase):
    def test_samples_agree_with_the_command_lines_cf64_file(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "f.cf64")
            subprocess.run([CLI, "generate", "--set", "dataRate=5.5", "--set", "MACheader.Active=1",
                            "--set", "MACheader.Contents.Address1.Contents=0x0123456789AB", "--out", path],
                           check=True, capture_output=True)
            samples, markers = dot11b.generate(dataRate=5.5, MACheader_Active=1,
                                               MACheader_Contents_Address1_Contents=0x0123456789AB)
            self.assertEqual(samples.dtype, np.complex128)
            np.testing.assert_array_equal(samples, np.fromfile(path, dtype="<c16"))
            self.assertEqual(markers.dtype, np.uint8)
            self.assertEqual(markers.shape, (2, samples.size))
            self.assertEqual(dot11b.estimate(dataRate=5.5, MACheader_Active=1), samples.size)

    def test_frames_longer_than_projected_come_whole_as_from_the_command_line(self):
        # A 7-sample ramp at oversampling 4 is made of 2 chips (8 samples) a side: 12864 samples against
        # the 12862 projected.
        fields = {"dataRate": 1, "dataLength": 0, "OverSampling": 4, "rampType": 1, "rampLength": 7}
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "f.cf64")
            subprocess.run([CLI, "generate", *[a for k, v in fields.items() for a in ("--set", f"{k}={v}")],
                            "--out", path], check=True, capture_output=True)
            samples, markers = dot11b.generate(**fields)
            self.assertEqual(samples.size, 12864)
            np.testing.assert_array_equal(samples, np.fromfile(path, dtype="<c16"))
        self.assertEqual(markers.shape, (2, 12864))
        # Row 2 the frame without the 4400 idle samples, row 1 that without the ramps (7 samples each, as set).
        self.assertEqual(int(markers[1].sum()), 12864 - 4400)
        self.assertEqual(int(markers[0].sum()), 12864 - 4400 - 14)
        self.assertEqual(dot11b.estimate(**fields), 12862)

    def test_parameter_rules_raise_value_error_with_their_message(self):
        with self.assertRaisesRegex(ValueError, "dataRate: 3 is not allowed; allowed: one of 1 2 5.5 11"):
            dot11b.generate(dataRate=3)
        with self.assertRaisesRegex(ValueError, "unknown field"):
            dot11b.estimate(noSuchField=1)
        with self.assertRaisesRegex(ValueError, "frames"):
            dot11b.generate(frames=0)

    def test_sequences_templates_impairments_and_the_receiver(self):
        samples, markers = dot11b.generate(frames=2, template="beacon", ssid="py", OverSampling=2)
        report = dot11b.verify(samples, 22e6)
        self.assertEqual([f["mac"]["sequence_number"] for f in report["frames"]], [0, 1])
        self.assertEqual(report["frames"][0]["mac"]["ssid"], "py")
        noisy = dot11b.impair(samples, 22e6, markers=markers, snr=20, seed=3)
        np.testing.assert_array_equal(noisy, dot11b.impair(samples, 22e6, markers=markers, snr=20, seed=3))
        self.assertGreater(np.abs(noisy - samples).max(), 0)

    def test_numbers_out_of_range_raise_value_error_naming_the_range(self):
        samples, _ = dot11b.generate(dataLength=10)
        for rate in (1e15, 1e300, 20.0):
            with self.assertRaisesRegex(ValueError, "outside the receiver's range of 1 MHz to 1 GHz"):
                dot11b.verify(samples, rate)
        with self.assertRaisesRegex(ValueError, "--snr -1e\\+300 dB is outside -50 to 100 dB"):
            dot11b.impair(samples, 44e6, snr=-1e300)

    def test_verify_returns_the_psdu_generated(self):
        params = dot11b.call("Dot11b_SetFields", dot11b.parameters(), ["MACfcs.Active", "dataSourceType", "dataLength"],
                             [1, 5, 20])[0]
        bits = dot11b.call("Dot11_GeneratePayload", params)[0].reshape(-1).astype(int)
        octets = bytes(int("".join(map(str, bits[k:k + 8][::-1])), 2) for k in range(0, bits.size, 8))
        samples, _ = dot11b.generate(params)
        frame = dot11b.verify(samples, 44e6)["frames"][0]
        self.assertEqual(frame["psdu_hex"], octets.hex())
        self.assertTrue(frame["fcs_ok"])

    def test_verify_writes_the_frames_for_wireshark(self):
        samples, _ = dot11b.generate(frames=2, template="beacon", ssid="py", OverSampling=2)
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "beacons.pcapng")
            report = dot11b.verify(samples, 22e6, carrier=2462e6, pcap=path)
            self.assertEqual(len(report["frames"]), 2)
            fields = subprocess.run(["tshark", "-r", path, "-o", "wlan.check_checksum:TRUE", "-T", "fields",
                                     "-e", "wlan.fcs.status", "-e", "wlan.ssid", "-e", "wlan.seq",
                                     "-e", "radiotap.channel.freq"],
                                    check=True, capture_output=True, text=True).stdout
            self.assertEqual(fields, "1\t7079\t0\t2462\n1\t7079\t1\t2462\n")  # good FCS, SSID "py" in hex
            with self.assertRaisesRegex(ValueError, "Unable to write file .*x.pcapng"):
                dot11b.verify(samples, 22e6, pcap=os.path.join(folder, "missing", "x.pcapng"))

    def test_compose_agrees_with_the_command_line_and_makes_the_receiver_tests(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "c.cf64")
            out = subprocess.run([CLI, "compose", "--set", "dataRate=2", "--frames", "2", "--template", "data",
                                  "--interferer", "--set dataRate=11", "--offset", "-25e6", "--level", "30",
                                  "--cw", "5e6,-10", "--out", path], check=True, capture_output=True, text=True).stdout
            samples, markers, rate, report = dot11b.compose(
                dataRate=2, frames=2, template="data",
                interferers=[{"dataRate": 11, "offset": -25e6, "level": 30}], cw=(5e6, -10))
            self.assertEqual(rate, 99e6)
            np.testing.assert_array_equal(samples, np.fromfile(path, dtype="<c16"))
            self.assertIn("%+.2f dB" % report["generatorLevelDb"], out)
            self.assertEqual(markers.shape, (2, samples.size))
        _, _, _, test = dot11b.compose(test="adjacent-channel", frames=1, level=-60)
        self.assertEqual(test["receiverTest"]["interfererLevelDbm"], -25)
        self.assertLess(abs(test["amplitudeDbm"] - (-60 + test["generatorLevelDb"])), 1e-9)
        with self.assertRaisesRegex(ValueError, "interferer 1 at 80 MHz needs a sample rate"):
            dot11b.compose(interferers=[{"offset": 80e6}])


class Files(unittest.TestCase):
    def test_parameter_files_round_trip_and_scipy_reads_them(self):
        with tempfile.TemporaryDirectory() as folder:
            params = dot11b.call("Dot11b_SetFields", dot11b.parameters(), ["dataRate", "dataLength"], [2, 99])[0]
            dot11b.save_params(os.path.join(folder, "p"), params)
            loaded = dot11b.load_params(os.path.join(folder, "p.mat"))
            self.assertEqual(list(loaded), list(params))
            self.assertEqual(dot11b.call("CompareStruct", loaded, params), [1.0])
            stored = scipy.io.loadmat(os.path.join(folder, "p.mat"), squeeze_me=True)["fileParameters"]
            self.assertEqual(float(stored["dataLength"]), 99)
            self.assertEqual(float(stored["dataRate"]), 2)
            with self.assertRaisesRegex(ValueError, "missing"):
                dot11b.load_params(os.path.join(folder, "missing"))


class Calls(unittest.TestCase):
    def test_every_value_kind_converts_both_ways(self):
        values = [None, 2.5, 1 - 2j, "Größe", np.array([[1.0, 2.0, 3.0], [4.0, 5.0, 6.0]]),
                  np.array([1 + 1j, 2 - 1j]), {"b": 1.0, "a": ["x", 2.0]}, ["t", {"k": "v"}, np.arange(3.0)]]
        for value in values:
            dot11b._dot11b.set_global("newSettings", value)
            back = dot11b._dot11b.get_global("newSettings")
            if isinstance(value, np.ndarray):
                np.testing.assert_array_equal(back, value.reshape(1, -1) if value.ndim == 1 else value)
            elif isinstance(value, list):
                self.assertEqual(back[:2], value[:2])
                np.testing.assert_array_equal(back[2], value[2].reshape(1, -1))
            elif value is None:
                self.assertEqual(back.shape, (0, 0))
            else:
                self.assertEqual(back, value)
                self.assertEqual(list(back) if isinstance(back, dict) else back, list(value) if isinstance(value, dict) else value)
        np.testing.assert_array_equal(dot11b.call("BitVector", 6, 8, "left-msb")[0], [[0, 0, 0, 0, 0, 1, 1, 0]])
        self.assertEqual(dot11b.call("HexString", 26, 2), ["001A"])
        with self.assertRaisesRegex(dot11b.RoutineError, "NoSuchRoutine"):
            dot11b.call("NoSuchRoutine")
        with self.assertRaises(TypeError):
            dot11b.call("HexString", object(), 2)


class Instruments(unittest.TestCase):
    def test_download_to_the_simulator_and_a_stopped_one_raises(self):
        with tempfile.TemporaryDirectory() as folder:
            sim = subprocess.Popen([SGSIM, "--port", "0", "--store", folder], stdout=subprocess.PIPE, text=True)
            try:
                port = int(sim.stdout.readline().split()[1])
                instrument = dot11b.Instrument(f"tcpip:127.0.0.1:{port}")
                self.assertIn(",", instrument.ping())
                samples, markers = dot11b.generate(dataLength=10)
                instrument.download(samples, markers, "pytest")
                instrument.play(dot11b.sig_gen_settings(Title="pytest"))
                self.assertTrue(os.path.exists(os.path.join(folder, "ARBI", "pytest")))
            finally:
                sim.terminate()
                sim.wait()
            with self.assertRaises(dot11b.InstrumentError):
                dot11b.Instrument(f"tcpip:127.0.0.1:{port}").download(samples, markers, "pytest")
        with self.assertRaises(ValueError):
            dot11b.Instrument("carrier-pigeon:1")


if __name__ == "__main__":
    unittest.main()

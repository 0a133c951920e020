# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the seed corpus of the parameter-file fuzzer: valid and damaged parameter files.

  make_corpus.py OUTDIR [DOT11B]

SciPy writes most seeds (64-bit integers, UTF-8 text, compressed variables, cell lists); with the path of
the dot11b tool, files of this program's own writer (doubles, 16-bit text) are added.
"""
import os
import subprocess
import sys

import numpy as np
import scipy.io


def mac_contents():
    contents = {"BitStream": np.zeros((1, 240))}
    for name, size in [("FrameCntrl", 2), ("DurationID", 2), ("SeqCntrl", 2), ("Address1", 6),
                       ("Address2", 6), ("Address3", 6), ("Address4", 6)]:
        contents[name] = {"Contents": 0, "Size": size, "Active": 1}
    return contents


def parameters(**changes):
    p = {
        "ParameterFileFormat_ID": "dot11b - Format 1.0",
        "generationMode": 1, "dataRate": 11.0, "highRateMod": 0, "preambleType": 0, "clkLocked": 0,
        "scramblerActive": 1, "encoderActive": 1, "Channel": 1, "MirrorSpectrum": 0,
        "MACheader": {"Active": 0, "Length": 30, "Contents": mac_contents()},
        "MACfcs": {"Active": 0, "Length": 4, "Contents": np.zeros((0, 0))},
        "dataSourceType": 1, "dataLength": 1024, "dataSourceName": np.zeros((0, 0)), "totalLength": 1024,
        "OverSampling": 4, "rampType": 1, "rampLength": 88, "idleSamples": 4400,
        "FilterType": 1, "FilterFactor": 0.5, "FilterTaps": 6, "ProjectedLength": 0,
    }
    for key, value in changes.items():
        if value is None:
            del p[key]
        else:
            p[key] = value
    return p


def main(out, tool=None):
    os.makedirs(out, exist_ok=True)

    def save(name, variables, **options):
        scipy.io.savemat(os.path.join(out, name), variables, **options)

    save("scipy_valid.mat", {"fileParameters": parameters(), "filename": "scipy_valid.mat"})
    save("scipy_compressed.mat", {"fileParameters": parameters(dataRate=5.5, highRateMod=1)}, do_compression=True)
    save("scipy_text_name.mat", {"fileParameters": parameters(dataSourceName="s\u00e9rie", dataSourceType=7)})
    save("damaged_data_length.mat", {"fileParameters": parameters(dataLength=1e12)})
    save("damaged_text_for_number.mat", {"fileParameters": parameters(dataRate="eleven")})
    save("damaged_missing_field.mat", {"fileParameters": parameters(OverSampling=None)})
    save("wrong_identity.mat", {"fileParameters": parameters(ParameterFileFormat_ID="dot11a - Format 1.0")})
    save("no_identity.mat", {"fileParameters": parameters(ParameterFileFormat_ID=None)})
    cells = np.empty((1, 2), dtype=object)
    cells[0, 0] = np.array([[True, False]])
    cells[0, 1] = np.array([[1 + 2j]])
    save("cells_extra_field.mat", {"fileParameters": parameters(extra=cells)})
    save("wave_data.mat", {"samplePoints": 2.0, "sampleRate": 44e6, "wave": np.array([[0.5, -0.5], [1.0, 0.0]])})

    if tool:
        subprocess.run([tool, "params", "save", os.path.join(out, "own_valid.mat")], check=True)
        subprocess.run([tool, "params", "save", os.path.join(out, "own_mac_header.mat"), "--set", "MACheader.Active=1",
                        "--set", "MACheader.Contents.Address1.Contents=0x0123456789AB", "--set", "MACfcs.Active=1",
                        "--set", "dataSourceName=\u00e9t\u00e9"], check=True)


if __name__ == "__main__":
    main(*sys.argv[1:])

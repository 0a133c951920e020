# SPDX-License-Identifier: GPL-3.0-or-later
"""An independent MAT-file reader and writer for the interoperability tests (SciPy's scipy.io).

  scipy_interop.py read-parameters FILE   print what SciPy sees in a parameter file, as JSON
  scipy_interop.py write-parameters FILE  write a parameter file with SciPy
  scipy_interop.py read-wave FILE         print what SciPy sees in a Save Wave data file, as JSON
"""
import json
import sys

import numpy as np
import scipy.io


def names(record):
    return list(record.dtype.names)


def read_parameters(path):
    data = scipy.io.loadmat(path, uint16_codec="utf-16")
    p = data["fileParameters"][0, 0]
    header = p["MACheader"][0, 0]
    contents = header["Contents"][0, 0]
    address1 = contents["Address1"][0, 0]
    source_name = p["dataSourceName"]
    print(json.dumps({
        "variables": sorted(k for k in data if not k.startswith("__")),
        "fields": names(p),
        "macHeaderFields": names(header),
        "contentsFields": names(contents),
        "address1Fields": names(address1),
        "formatId": str(p["ParameterFileFormat_ID"][0]),
        "dataRate": float(p["dataRate"][0, 0]),
        "address1Contents": float(address1["Contents"][0, 0]),
        "bitStreamLength": int(contents["BitStream"].size),
        "dataSourceName": str(source_name[0]) if source_name.size else "",
        "filename": str(data["filename"][0]),
    }))


def mac_field(contents, size):
    return {"Contents": contents, "Size": size, "Active": 1}


def write_parameters(path):
    # Python ints become 64-bit integer arrays and texts UTF-8 characters: not what this program writes.
    contents = {"BitStream": np.zeros((1, 240))}
    for name, size in [("FrameCntrl", 2), ("DurationID", 2), ("SeqCntrl", 2), ("Address1", 6),
                       ("Address2", 6), ("Address3", 6), ("Address4", 6)]:
        contents[name] = mac_field(0, size)
    contents["Address1"]["Contents"] = 0x1234
    parameters = {
        "ParameterFileFormat_ID": "dot11b - Format 1.0",
        "generationMode": 1, "dataRate": 2, "highRateMod": 0, "preambleType": 1, "clkLocked": 0,
        "scramblerActive": 1, "encoderActive": 1, "Channel": 3, "MirrorSpectrum": 0,
        "MACheader": {"Active": 1, "Length": 30, "Contents": contents},
        "MACfcs": {"Active": 1, "Length": 4, "Contents": np.zeros((0, 0))},
        "dataSourceType": 5, "dataLength": 60, "dataSourceName": "s\u00e9rie", "totalLength": 94,
        "OverSampling": 3, "rampType": 2, "rampLength": 66, "idleSamples": 330,
        "FilterType": 2, "FilterFactor": 0.3, "FilterTaps": 5, "ProjectedLength": 0,
    }
    scipy.io.savemat(path, {"fileParameters": parameters, "filename": path})


def read_wave(path):
    data = scipy.io.loadmat(path)
    wave = data["wave"]
    print(json.dumps({
        "samplePoints": float(data["samplePoints"][0, 0]),
        "sampleRate": float(data["sampleRate"][0, 0]),
        "rows": int(wave.shape[0]),
        "cols": int(wave.shape[1]),
        "first": [float(wave[0, 0]), float(wave[0, 1])],
    }))


if __name__ == "__main__":
    {"read-parameters": read_parameters, "write-parameters": write_parameters, "read-wave": read_wave}[sys.argv[1]](sys.argv[2])

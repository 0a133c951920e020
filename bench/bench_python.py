# SPDX-License-Identifier: GPL-3.0-or-later
"""Speed of the Python package: generate of the largest frame from Python, beside the same frame made by the
command line (its own calculation time, which it prints, and the whole command writing to /dev/null). Run
with Debian's Python:

    PYTHONPATH=build/python /usr/bin/python3 bench/bench_python.py build/bin/dot11b
"""

import re
import statistics
import subprocess
import sys
import time

import dot11b

# 2312 octets behind the MAC header and before the FCS at 1 Mbit/s, oversampling 9, root raised cosine over
# 1000 symbols, 1000 us ramps and idle: 2 174 040 samples.
LARGEST = {"dataRate": 1, "OverSampling": 9, "FilterType": 2, "FilterTaps": 1000, "rampLength": 99000,
           "idleSamples": 99000, "dataSourceType": 4, "dataLength": 2312, "MACheader_Active": 1, "MACfcs_Active": 1}
RUNS = 15


def median_ms(run):
    times = []
    for _ in range(RUNS):
        started = time.perf_counter()
        run()
        times.append((time.perf_counter() - started) * 1e3)
    return statistics.median(times)


def main(cli):
    record = dot11b.call("Dot11b_SetFields", dot11b.parameters(), [k.replace("_", ".") for k in LARGEST],
                         list(LARGEST.values()))[0]
    python = median_ms(lambda: dot11b.generate(record))
    command = [cli, "generate", "--out", "/dev/null", "--format", "cf64"]
    for field, value in LARGEST.items():
        command += ["--set", f"{field.replace('_', '.')}={value}"]
    calculated, whole = [], []
    for _ in range(RUNS):
        started = time.perf_counter()
        printed = subprocess.run(command, check=True, capture_output=True, text=True).stderr
        whole.append((time.perf_counter() - started) * 1e3)
        calculated.append(float(re.search(r"calculated in ([0-9.]+) ms", printed).group(1)))
    print(f"dot11b.generate (samples and markers as numpy arrays): {python:8.1f} ms")
    print(f"dot11b generate, its calculation:                      {statistics.median(calculated):8.1f} ms")
    print(f"dot11b generate, the whole command to /dev/null:       {statistics.median(whole):8.1f} ms")
    print(f"the package against the command's calculation: {100 * (python / statistics.median(calculated) - 1):+.1f} %")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build/bin/dot11b")

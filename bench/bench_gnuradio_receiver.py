# SPDX-License-Identifier: GPL-3.0-or-later
"""The GNU Radio receiver block's throughput inside a flowgraph (file source at 22 Msample/s -> receiver ->
null sink) beside 'dot11b verify' of the same file, in the same run, each on one core (taskset -c 0): the
signal's duration over the wall time (realtime), and the block's time over the command's, which should stay
at most 1.2. The capture: 200 CCK data frames of 1500 octets at 11 Mbit/s, 22 Msample/s, as cf32 (/tmp, made
once). Run with the build tree's module and Debian's Python:

    source build/gnuradio/env.sh
    taskset -c 0 /usr/bin/python3 bench/bench_gnuradio_receiver.py build/bin/dot11b
"""

import os
import statistics
import subprocess
import sys
import time

from gnuradio import blocks, gr

from gnuradio import dot11b

RATE = 22e6
CAPTURE = "/tmp/dot11b-bench-gnuradio/cck200_22M.cf32"
RUNS = 5


def make_capture(cli):
    if os.path.exists(CAPTURE):
        return
    os.makedirs(os.path.dirname(CAPTURE), exist_ok=True)
    subprocess.run([cli, "generate", "--frames", "200", "--template", "data", "--set", "dataRate=11", "--set",
                    "OverSampling=2", "--set", "dataLength=1500", "--set", "dataSourceType=5", "--out", CAPTURE],
                   check=True, capture_output=True)


def block_seconds():
    """One flowgraph run; the frames it decoded."""
    tb = gr.top_block()
    rx = dot11b.receiver(RATE)
    tb.connect(blocks.file_source(gr.sizeof_gr_complex, CAPTURE, False), rx)
    tb.connect(rx, blocks.null_sink(gr.sizeof_gr_complex))
    started = time.perf_counter()
    tb.run()
    return time.perf_counter() - started, rx.frames()


def command_seconds(cli):
    started = time.perf_counter()
    done = subprocess.run([cli, "verify", "--rate", str(RATE), CAPTURE], capture_output=True, text=True,
                          check=False)
    seconds = time.perf_counter() - started
    return seconds, sum(line.startswith("frame ") for line in done.stdout.splitlines())


def main(cli):
    make_capture(cli)
    signal = os.path.getsize(CAPTURE) / 8 / RATE
    blocks_runs, command_runs = [], []
    for _ in range(RUNS):
        seconds, frames = block_seconds()
        blocks_runs.append(seconds)
        command, command_frames = command_seconds(cli)
        command_runs.append(command)
    block, command = statistics.median(blocks_runs), statistics.median(command_runs)
    print(f"capture: {signal * 1e3:.1f} ms of signal at 22 Msample/s, 200 frames")
    print(f"receiver block: {block:.3f} s, realtime {signal / block:.2f}, {frames} frames")
    print(f"dot11b verify:  {command:.3f} s, realtime {signal / command:.2f}, {command_frames} frames")
    print(f"block / command: {block / command:.2f} (at most 1.2)")
    return 0 if block <= 1.2 * command and frames == 200 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "dot11b"))

# SPDX-License-Identifier: GPL-3.0-or-later
"""What the module's QA tests share: the dot11b command (DOT11B_CLI names it), PDUs, and waiting for a
flowgraph's messages."""

import json
import os
import subprocess
import time

import numpy as np
import pmt

CLI = os.environ.get("DOT11B_CLI", "dot11b")


def dot11b(*args):
    """Runs the dot11b command; its standard output."""
    done = subprocess.run([CLI, *args], capture_output=True, text=True, check=False)
    if done.returncode != 0:
        raise AssertionError(f"dot11b {' '.join(args)} ended with {done.returncode}: {done.stderr}")
    return done.stdout


def verify_json(path, rate):
    """dot11b verify --json of a cf32 file."""
    done = subprocess.run([CLI, "verify", "--json", "--rate", str(rate), path], capture_output=True, text=True,
                          check=False)
    return json.loads(done.stdout)


def pdu(octets, **meta):
    """A PDU of the octets with the metadata given."""
    data = np.frombuffer(octets, dtype=np.uint8) if isinstance(octets, bytes) else np.asarray(octets, np.uint8)
    return pmt.cons(pmt.to_pmt(meta) if meta else pmt.make_dict(), pmt.init_u8vector(data.size, data.tolist()))


def wait_for(condition, seconds=60):
    """Waits until condition() holds, for `seconds` at most; whether it does."""
    end = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > end:
            return False
        time.sleep(0.02)
    return True


def received(debug):
    """The PDUs a message debug block stored: (metadata dict, octets) each."""
    out = []
    for i in range(debug.num_messages()):
        message = debug.get_message(i)
        out.append((pmt.to_python(pmt.car(message)), bytes(pmt.u8vector_elements(pmt.cdr(message)))))
    return out

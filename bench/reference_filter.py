#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The reference the frame benchmark compares with: what a short numpy/scipy script does for the same
waveform. It zero-stuffs the chips of the frame, filters them circularly with the root-raised-cosine taps
by FFT convolution and writes the samples as complex128 (.cf64).

usage: reference_filter.py CHIPS OVERSAMPLING FILTER_SYMBOLS OUT.cf64
The chips are random QPSK chips (the timing does not depend on their values)."""
import sys

import numpy as np
from scipy import fft


def root_raised_cosine(taps, alpha, sps):
    t = (np.arange(taps) - (taps - 1) / 2) / sps
    h = np.empty(taps)
    for i, x in enumerate(t):
        if x == 0:
            h[i] = 1 - alpha + 4 * alpha / np.pi
        elif abs(abs(4 * alpha * x) - 1) < 1e-12:
            h[i] = alpha / np.sqrt(2) * ((1 + 2 / np.pi) * np.sin(np.pi / (4 * alpha)) + (1 - 2 / np.pi) * np.cos(np.pi / (4 * alpha)))
        else:
            h[i] = (np.sin(np.pi * x * (1 - alpha)) + 4 * alpha * x * np.cos(np.pi * x * (1 + alpha))) / (np.pi * x * (1 - (4 * alpha * x) ** 2))
    return h / np.sqrt(np.sum(h ** 2))


def main():
    chips, sps, symbols, out = int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
    rng = np.random.default_rng(1)
    x = np.zeros(chips * sps, dtype=complex)
    x[::sps] = (rng.integers(0, 2, chips) * 2 - 1) + 1j * (rng.integers(0, 2, chips) * 2 - 1)
    h = root_raised_cosine(symbols * sps, 0.5, sps)
    n = len(x)
    hk = np.zeros(n)
    hk[: len(h)] = h
    y = fft.ifft(fft.fft(x) * fft.fft(hk))
    y = np.roll(y, -(len(h) // 2))
    y.astype(np.complex128).tofile(out)


if __name__ == "__main__":
    main()

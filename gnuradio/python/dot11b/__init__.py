# SPDX-License-Identifier: GPL-3.0-or-later
"""IEEE 802.11b DSSS blocks: the generator (modulator, frame_source) and the receiver of dot11b-wavegen."""

from .dot11b_python import *  # noqa: F401,F403

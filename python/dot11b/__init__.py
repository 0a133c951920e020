# SPDX-License-Identifier: GPL-3.0-or-later
"""IEEE 802.11b-1999 DSSS frames as numpy arrays, from the dot11b-wavegen library.

The functions here call the library's own routines (the generator, the parameter rules, the built-in
receiver, the impairment stage and the instrument link); nothing is computed a second time in Python.

    >>> import dot11b
    >>> samples, markers = dot11b.generate(dataRate=2, MACfcs_Active=1)
    >>> dot11b.verify(samples, 44e6)["frames"][0]["fcs_ok"]
    True

Fields are named as in the parameters record; a field of a sub-record joins the names with "_"
(``MACheader_Active`` for MACheader.Active). They follow the rules of ``dot11b --set``, and a value they
refuse raises ValueError with the same message.
"""

import json
import os
from typing import NamedTuple

import numpy as np

from . import _dot11b

RoutineError = _dot11b.RoutineError

__all__ = [
    "RoutineError", "InstrumentError", "Instrument", "call", "parameters", "load_params", "save_params",
    "estimate", "generate", "compose", "verify", "impair", "sig_gen_settings", "devices", "transmit", "capture",
    "Capture",
]


class InstrumentError(RuntimeError):
    """The instrument refused a command or could not be reached; the message is the instrument's own."""


def call(name, *args, nargout=1):
    """Call any routine of the library by name and return its first ``nargout`` results as a list.

    Inputs and results convert both ways: numbers and numpy arrays (up to two dimensions; the library's
    column-major matrices come back as 2-D arrays, a 1 x 1 result as float or complex), str (text),
    dict (records, in field order), list (cell lists) and None (the empty array). A failure raises
    RoutineError with the library's message.
    """
    return _dot11b.call(name, *args, nargout=nargout)


def parameters():
    """The start values of the parameters record, as a dict."""
    _dot11b.call("Dot11b_GUI_c", "InitializeParameters", nargout=0)
    return _dot11b.get_global("parameters")


def load_params(path):
    """The parameters record of a parameter file (".mat" added when missing), checked as File Open checks it.

    Raises ValueError when the file cannot be used, with the message the window shows.
    """
    return _rules("Dot11b_LoadParameters", str(path))


def save_params(path, params):
    """Write ``params`` as a parameter file (".mat" added when missing), as File Save does.

    The record is checked first (ValueError naming the first bad field); MATLAB, Octave and SciPy read
    the file (variables fileParameters and filename).
    """
    _rules("Dot11b_SaveParameters", str(path), params, nargout=0)


# The sequence and template keywords of estimate and generate, and the fields of Dot11b_Sequence.
_SEQUENCE_KEYWORDS = {
    "frames": "frames", "payload": "payload", "template": "template", "ssid": "ssid", "bssid": "bssid",
    "ra": "ra", "ta": "ta", "beacon_interval": "beaconInterval", "channel": "channel",
}


def estimate(params=None, **fields):
    """The projected number of samples of ``generate`` for the same arguments, without making them.

    A ramp whose length is no multiple of the oversampling makes each frame a few samples longer or
    shorter than projected; ``generate`` returns the samples as made.
    """
    record, sequence = _split(params, fields)
    return int(_rules("Dot11b_SequenceLength", record, sequence))


def generate(params=None, **fields):
    """The waveform and markers of a frame, or of a sequence of frames.

    ``params`` is a parameters record (the start values when None); keywords set its fields, and these
    keywords describe a sequence: ``frames`` (N frames one after another), ``payload`` ("continue" or
    "repeat"), ``template`` ("beacon", "probe-response", "data", "null", "ack", "cts", "rts") with
    ``ssid``, ``bssid``, ``ra``, ``ta`` (addresses such as "00:11:22:33:44:55"), ``beacon_interval`` and
    ``channel``.

    Returns ``(samples, markers)``: complex128 samples at 11 MHz x OverSampling, and a (2, N) uint8 array
    of marker rows 1 (full power) and 2 (the whole frame).
    """
    record, sequence = _split(params, fields)
    try:
        samples, markers = _dot11b.frames(record, sequence)
    except RoutineError as error:
        raise ValueError(str(error)) from None
    return samples, markers


def compose(params=None, *, interferers=(), cw=None, noise=None, rate=None, seed=None, test=None, rate_mbps=None,
            channel_spacing=None, level=None, **fields):
    """The wanted frames with other signals, or one of the receiver tests, as ``dot11b compose`` makes them.

    ``params`` and the keywords give the wanted frames as for ``generate``. ``interferers`` is a sequence
    of dicts, each with ``offset`` (Hz from the wanted carrier), ``level`` (dB over the wanted frames' mean
    power), optionally ``start`` (s), ``params`` (a record) and generate's keywords for its own frames.
    ``cw=(hz, db)`` adds a tone, ``noise`` white noise (dB in 11 MHz over the wanted frames), ``rate`` the
    composite's sample rate, ``seed`` the draws of the interferers' starts and data and of the noise.

    ``test`` ("sensitivity", "max-input", "adjacent-channel" or "cca") makes that receiver test instead,
    with ``rate_mbps``, ``frames``, ``channel_spacing`` and the wanted ``level`` in dBm.

    Returns ``(samples, markers, sample_rate, report)``: the report holds ``generatorLevelDb`` (the
    generator's level over the wanted frames') and, for a test, ``receiverTest`` (its plan) and
    ``amplitudeDbm`` (the amplitude to set on the signal generator).
    """
    composition = {}
    if test is not None:
        composition.update(test=test, frames=float(fields.pop("frames", 100)))
        for key, value in (("rateMbps", rate_mbps), ("channelSpacingHz", channel_spacing), ("levelDbm", level)):
            if value is not None:
                composition[key] = float(value)
    record, sequence = _split(params, fields)
    if test is None:
        others = []
        for interferer in interferers:
            interferer = dict(interferer)
            one = {"offsetHz": float(interferer.pop("offset", 0.0)), "levelDb": float(interferer.pop("level", 0.0))}
            if "start" in interferer:
                one["startSeconds"] = float(interferer.pop("start"))
            one["parameters"], one["sequence"] = _split(interferer.pop("params", None), interferer)
            others.append(one)
        if others:
            composition["interferers"] = others
        if cw is not None:
            composition["cwHz"], composition["cwDb"] = float(cw[0]), float(cw[1])
        if noise is not None:
            composition["noiseDb"] = float(noise)
    if rate is not None:
        composition["sampleRate"] = float(rate)
    if seed is not None:
        composition["seed"] = float(seed)
    try:
        samples, markers, report = _dot11b.call("Dot11b_Compose", record, sequence, composition, nargout=3)
    except RoutineError as error:
        raise ValueError(str(error)) from None
    return samples.reshape(-1), markers.astype(np.uint8), float(report.pop("sampleRate")), report


def verify(samples, rate, carrier=None, pcap=None):
    """Decode every frame of ``samples`` (taken at ``rate`` Hz) with the built-in receiver.

    Returns the result of ``dot11b verify --json`` as a dict: "frames" (each with its rate, modulation,
    header, "psdu_hex", "fcs_ok", EVM, offsets, MAC header and transmitter checks) and "mask". ``carrier``
    (Hz) allows the centre-frequency check. ``pcap`` (a file name) also writes the frames there as pcapng
    for Wireshark, as ``dot11b verify --pcap`` does. A rate outside the receiver's range (1 MHz to 1 GHz)
    or a ``pcap`` that cannot be written raises ValueError with the reason.
    """
    row = np.ascontiguousarray(samples, dtype=np.complex128).reshape(1, -1)
    try:
        if pcap is None:
            return json.loads(_dot11b.call("Dot11b_Verify", row, float(rate), carrier)[0])
        return json.loads(_dot11b.call("Dot11b_VerifyPcap", row, float(rate), carrier, os.fspath(pcap))[0])
    except RoutineError as error:
        raise ValueError(str(error)) from None


def impair(samples, rate, *, markers=None, snr=None, cfo=0.0, phase=0.0, clock_ppm=0.0, iq_gain=0.0,
           iq_skew=0.0, dc=0j, multipath=0.0, seed=1):
    """The samples as a receiver under test meets them, as ``dot11b generate``'s impairment options make them.

    In this order: I/Q gain ``iq_gain`` (dB) and skew ``iq_skew`` (degrees), ``dc`` (complex), a sample
    clock ``clock_ppm`` fast, carrier offset ``cfo`` (Hz) and ``phase`` (degrees), an exponential multipath
    channel of RMS delay spread ``multipath`` (ns), and white Gaussian noise at ``snr`` dB: the mean power
    of the frame's samples (row 2 of ``markers``; every sample without it) over the noise power in the 11 MHz
    chip bandwidth. The same ``seed`` gives the same samples, bit for bit.
    """
    settings = {"cfoHz": cfo, "phaseDeg": phase, "clockPpm": clock_ppm, "iqGainDb": iq_gain,
                "iqSkewDeg": iq_skew, "dc": complex(dc), "multipathNs": multipath, "seed": seed}
    if snr is not None:
        settings["snrDb"] = snr
    row = np.ascontiguousarray(samples, dtype=np.complex128).reshape(1, -1)
    mask = None if markers is None else np.asarray(markers)[1].reshape(1, -1)
    try:
        return _dot11b.call("Dot11b_Impair", row, float(rate), settings, mask)[0].reshape(-1)
    except RoutineError as error:
        raise ValueError(str(error)) from None


def devices(device=None):
    """The software-defined radios SoapySDR finds, those whose arguments match ``device`` ("driver=hackrf")
    when given: a list of dicts with "driver", "label", "serial" and "args" (every argument, as text)."""
    return _dot11b.call("Dot11b_Devices", device or "")[0]


def _radio(device, frequency, gain, antenna, rate, **more):
    radio = {"device": device, "frequency": float(frequency)}
    if gain is not None:
        radio["gain"] = float(gain)
    if antenna is not None:
        radio["antenna"] = antenna
    if rate is not None:
        radio["rate"] = float(rate)
    radio.update(more)
    return radio


def transmit(samples, rate, *, device, frequency, gain=None, antenna=None, radio_rate=None, backoff=1.0,
             repeat=1, gap=0.0):
    """Send ``samples`` (taken at ``rate`` Hz) through the radio ``device`` (SoapySDR arguments) at
    ``frequency`` Hz, as ``dot11b transmit`` does: resampled to ``radio_rate`` (else a rate the radio runs
    at, of at least two samples a chip where it can), the peak of I or Q ``backoff`` dB below the radio's
    full scale, ``repeat`` times with ``gap`` seconds between.

    Returns a dict: "rate" (Hz, a float), "samples" sent, "sends" and "underflows" (ints). A radio not
    found or a setting it refuses raises RoutineError with the radio's message; nothing is sent then. A
    stream that fails raises RoutineError with the radio's message and the number of samples that went out.
    Transmitting over the air is regulated: test a receiver through a shielded cable and attenuators.
    """
    row = np.ascontiguousarray(samples, dtype=np.complex128).reshape(1, -1)
    radio = _radio(device, frequency, gain, antenna, radio_rate, backoff=float(backoff), repeat=float(repeat),
                   gap=float(gap))
    report = _dot11b.call("Dot11b_Transmit", row, float(rate), radio)[0]
    return {"rate": float(report["rate"]), **{key: int(report[key]) for key in ("samples", "sends", "underflows")}}


class Capture(NamedTuple):
    """What :func:`capture` received: ``samples`` (complex128), ``overflows`` (int: how often the radio lost
    samples) and ``segments`` (ints: the index in ``samples`` at which each stretch received without a loss
    starts, the first at 0; samples were lost before every other). It unpacks as
    ``samples, overflows, segments = capture(...)``."""

    samples: np.ndarray
    overflows: int
    segments: list


def capture(*, device, frequency, rate, duration, gain=None, antenna=None):
    """Receive ``duration`` seconds at ``rate`` Hz and ``frequency`` Hz with the radio ``device``, as
    ``dot11b capture`` does: a :class:`Capture` of the samples, the overflows and the segments
    (``verify(received.samples, rate, carrier=frequency)`` decodes them). A rate below 11e6 (a sample a
    chip), a duration shorter than a frame (106 us), a radio not found, a setting it refuses or a stream
    that fails raises RoutineError with the reason."""
    radio = _radio(device, frequency, gain, antenna, rate, duration=float(duration))
    samples, overflows, segments = _dot11b.call("Dot11b_Capture", radio, nargout=3)
    return Capture(np.asarray(samples, dtype=np.complex128).reshape(-1), int(overflows),
                   [int(start) for start in np.asarray(segments).reshape(-1)])


def sig_gen_settings(params=None, **fields):
    """The signal generator settings for a parameters record (its Channel's carrier and its sampling rate),
    with ``fields`` changed: Title, Frequency, Amplitude, SamplingRate, Scaling, ... as the record names them."""
    _dot11b.set_global("parameters", params if params is not None else parameters())
    _dot11b.call("Dot11b_GUI_c", "InitializeSigGenSettings", nargout=0)
    settings = _dot11b.get_global("SigGenSettings")
    for name, value in fields.items():
        if name not in settings:
            raise ValueError(f"SigGenSettings has no field '{name}'")
        settings[name] = value
    return settings


class Instrument:
    """A vector signal generator at ``uri``: "tcpip:HOST[:PORT]", "gpib:BOARD:PRIMARY[:SECONDARY]" or
    "serial:PORT[:BAUD[:HANDSHAKE]]"; ``platform`` "c" (the default) or "b" for the older instruments'
    playback commands. Every method raises InstrumentError with the instrument's message when
    it fails; none returns a status to be checked.

    "soapy:ARGS" makes a radio the signal generator: download keeps the waveform, play starts it in a loop
    in the background (Frequency, Amplitude as the gain, RFOutput 0 for silence) and, called again,
    changes those without a gap; status() tells how it plays and stop() ends it and lets the radio go."""

    def __init__(self, uri, platform="c"):
        # The playback commands of the instrument generation: "c" (the default) or the older "b".
        self._playback = "ZELPlay_c" if platform == "c" else "ZELPlay"
        try:
            self.configuration = _dot11b.call("Dot11b_InstrumentConfiguration", uri)[0]
        except RoutineError as error:
            raise ValueError(str(error)) from None

    def _link(self, routine, *args):
        status, reply = _dot11b.call(routine, *args, nargout=2)
        if status != 0:
            raise InstrumentError(reply)
        return reply

    def ping(self):
        """The instrument's identity."""
        return self._link("VerifyComm", self.configuration)

    def download(self, waveform, markers, title="dot11b"):
        """Transfer ``waveform`` (complex samples) and ``markers`` (2 x N) into the waveform memory under ``title``."""
        row = np.ascontiguousarray(waveform, dtype=np.complex128).reshape(1, -1)
        rows = np.asarray(markers, dtype=np.float64).reshape(2, -1)
        return self._link("ZELDownLoadWrap", row, rows, title, self.configuration)

    def play(self, settings):
        """Set up playback of the waveform named by settings["Title"] with ``settings`` (see sig_gen_settings)."""
        return self._link(self._playback, settings["Title"], settings, self.configuration)

    def refresh(self, settings):
        """Send ``settings`` again for the waveform already in the instrument's memory (the Refresh button)."""
        return self.play(settings)

    def status(self):
        """The loop of a radio: {radio, frequency, rate, gain, underflows, samples, rfOn, playing, stopped,
        failed, reason}."""
        return _dot11b.call("Dot11b_RadioStatus")[0]

    def stop(self, reason="stopped"):
        """Ends the loop of a radio and lets the radio go; returns its last status."""
        return _dot11b.call("Dot11b_RadioStop", reason)[0]


def _rules(routine, *args, nargout=1):
    """A routine whose failures are refusals of the parameter rules: ValueError with their message."""
    try:
        results = _dot11b.call(routine, *args, nargout=nargout)
    except RoutineError as error:
        raise ValueError(str(error)) from None
    return results[0] if nargout else None


def _path(record, name):
    """The dotted path of a keyword: MACheader_Contents_Address1_Contents -> MACheader.Contents.Address1.Contents."""
    if name in record or not isinstance(record, dict):
        return name
    for field, value in record.items():
        if isinstance(value, dict) and name.startswith(field + "_"):
            return field + "." + _path(value, name[len(field) + 1:])
    return name


def _split(params, fields):
    """The checked record with the field keywords applied, and the sequence record of the others."""
    base = parameters() if params is None else params
    sequence = {_SEQUENCE_KEYWORDS[k]: fields.pop(k) for k in list(fields) if k in _SEQUENCE_KEYWORDS}
    record = _rules("Dot11b_SetFields", base, [_path(base, name) for name in fields], list(fields.values()))
    return record, sequence

# SPDX-License-Identifier: GPL-3.0-or-later
from os import PathLike
from typing import Any, NamedTuple, Optional, Sequence, Union

import numpy as np
import numpy.typing as npt

Value = Any  # float, complex, str, dict, list, None or a numpy array, as the library's routines take them
Record = dict[str, Any]
Path = Union[str, PathLike[str]]

class RoutineError(RuntimeError): ...
class InstrumentError(RuntimeError): ...

def call(name: str, *args: Value, nargout: int = 1) -> list[Value]: ...
def parameters() -> Record: ...
def load_params(path: Path) -> Record: ...
def save_params(path: Path, params: Record) -> None: ...
def estimate(params: Optional[Record] = None, **fields: Any) -> int: ...
def generate(
    params: Optional[Record] = None, **fields: Any
) -> tuple[npt.NDArray[np.complex128], npt.NDArray[np.uint8]]: ...
def compose(
    params: Optional[Record] = None,
    *,
    interferers: Sequence[dict[str, Any]] = ...,
    cw: Optional[tuple[float, float]] = None,
    noise: Optional[float] = None,
    rate: Optional[float] = None,
    seed: Optional[int] = None,
    test: Optional[str] = None,
    rate_mbps: Optional[float] = None,
    channel_spacing: Optional[float] = None,
    level: Optional[float] = None,
    **fields: Any,
) -> tuple[npt.NDArray[np.complex128], npt.NDArray[np.uint8], float, dict[str, Any]]: ...
def verify(samples: npt.ArrayLike, rate: float, carrier: Optional[float] = None,
           pcap: Optional[Path] = None) -> dict[str, Any]: ...
def impair(
    samples: npt.ArrayLike,
    rate: float,
    *,
    markers: Optional[npt.ArrayLike] = None,
    snr: Optional[float] = None,
    cfo: float = 0.0,
    phase: float = 0.0,
    clock_ppm: float = 0.0,
    iq_gain: float = 0.0,
    iq_skew: float = 0.0,
    dc: complex = 0j,
    multipath: float = 0.0,
    seed: int = 1,
) -> npt.NDArray[np.complex128]: ...
def sig_gen_settings(params: Optional[Record] = None, **fields: Any) -> Record: ...
def devices(device: Optional[str] = None) -> list[dict[str, str]]: ...
def transmit(
    samples: npt.ArrayLike,
    rate: float,
    *,
    device: str,
    frequency: float,
    gain: Optional[float] = None,
    antenna: Optional[str] = None,
    radio_rate: Optional[float] = None,
    backoff: float = 1.0,
    repeat: int = 1,
    gap: float = 0.0,
) -> dict[str, Union[int, float]]: ...

class Capture(NamedTuple):
    samples: npt.NDArray[np.complex128]
    overflows: int
    segments: list[int]

def capture(
    *,
    device: str,
    frequency: float,
    rate: float,
    duration: float,
    gain: Optional[float] = None,
    antenna: Optional[str] = None,
) -> Capture: ...

class Instrument:
    configuration: Record
    def __init__(self, uri: str, platform: str = "c") -> None: ...
    def ping(self) -> str: ...
    def download(self, waveform: npt.ArrayLike, markers: npt.ArrayLike, title: str = "dot11b") -> str: ...
    def play(self, settings: Record) -> str: ...
    def refresh(self, settings: Record) -> str: ...
    def status(self) -> Record: ...
    def stop(self, reason: str = "stopped") -> Record: ...

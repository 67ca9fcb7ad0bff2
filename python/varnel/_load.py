"""The pythonic layer: a Load is one driver session."""
from __future__ import annotations

import contextlib
import math
import threading
import time
import warnings
from ctypes import byref, c_char_p, c_double, c_int16, c_int32, c_int64, c_uint16, c_uint32, create_string_buffer
from dataclasses import dataclass
from enum import IntEnum
from typing import Any, Iterator, List, Optional, Tuple, Type, Union

from . import _lowlevel as L
from ._attributes import PROPERTY_NAMES, AttributeProperties
from ._errors import (VI_SUCCESS_MAX_CNT, VI_SUCCESS_TERM_CHAR, InstrumentError, SessionClosedError, VarnelError,
                      VarnelWarning, error_class)
from ._library import Driver, library, visa_status_description

__all__ = ["Load", "RawIO", "SweepStep", "SweepVerdict", "error_text"]

INT32_MIN, INT32_MAX = -(1 << 31), (1 << 31) - 1
ERROR_BUFFER = 2048     # recorded texts have at most 1023 characters
MESSAGE_BUFFER = 256    # the fixed arrays of error_message, self_test, revision_query
STRING_BUFFER = 4096    # a ViString attribute has at most 4095 characters
READ_BUFFER = 4096


# ---- checks of Python values, made before any call into the library ----

def _text(name: str, value: Any) -> bytes:
    if value is None:
        raise TypeError(f"{name} must be a str, not None")
    if not isinstance(value, str):
        raise TypeError(f"{name} must be a str, not {type(value).__name__}")
    if "\0" in value:
        raise ValueError(f"{name} must not hold a NUL character")
    try:
        return value.encode("ascii")
    except UnicodeEncodeError:
        raise ValueError(f"{name} must be ASCII text: {value!r}") from None


def _flag(name: str, value: Any) -> int:
    if not isinstance(value, bool):
        raise TypeError(f"{name} must be True or False, not {type(value).__name__}")
    return 1 if value else 0


def _real(name: str, value: Any) -> float:
    if isinstance(value, bool) or not isinstance(value, (int, float)):
        raise TypeError(f"{name} must be a number, not {type(value).__name__}")
    value = float(value)
    if not math.isfinite(value):
        raise ValueError(f"{name} must be a finite number, not {value}")
    return value


def _int32(name: str, value: Any, enum: Optional[Type[IntEnum]] = None, minimum: int = INT32_MIN,
           maximum: int = INT32_MAX) -> int:
    if isinstance(value, bool) or not isinstance(value, int):
        raise TypeError(f"{name} must be an int, not {type(value).__name__}")
    if enum is not None:
        if isinstance(value, IntEnum) and not isinstance(value, enum):
            raise TypeError(f"{name} takes a {enum.__name__}, not a {type(value).__name__}")
        try:
            return int(enum(value))
        except ValueError:
            choices = ", ".join(f"{m.name} ({m.value})" for m in enum)
            raise ValueError(f"{name} must be one of {enum.__name__}: {choices}; not {value}") from None
    if not minimum <= value <= maximum:
        raise ValueError(f"{name} must lie in {minimum}..{maximum}, not {value}")
    return int(value)


def error_text(status: int) -> str:
    """The driver's message for a status code (Varnel_error_message)."""
    _int32("status", status)
    return _message(library(), 0, status)


def _message(lib: Driver, vi: int, status: int) -> str:
    buffer = create_string_buffer(MESSAGE_BUFFER)
    if lib.Varnel_error_message(vi, status, buffer) < 0:
        return ""
    return buffer.value.decode("latin-1")


@dataclass(frozen=True)
class SweepStep:
    """One step of a sweep: its number, the level set (A, W or S) and the readings."""
    step: int
    level: float
    voltage: float
    current: float
    power: float


@dataclass(frozen=True)
class SweepVerdict:
    """The pass/fail verdict of a current or power sweep test and the value judged."""
    passed: bool
    value: float


def _parse_step(text: str) -> Optional[SweepStep]:
    if not text.strip():
        return None  # simulation gives the empty text
    fields = [f.strip() for f in text.split(",")]
    try:
        if len(fields) == 2 and fields[1].upper() == "NOT RUN":
            int(fields[0])
            return None
        if len(fields) == 5:
            return SweepStep(int(fields[0]), *(float(f) for f in fields[1:]))
    except ValueError:
        pass
    raise InstrumentError(L.IVI_ERROR_UNEXPECTED_RESPONSE, f"unexpected sweep step result: {text!r}")


def _parse_verdict(text: str) -> Optional[SweepVerdict]:
    if not text.strip():
        return None  # simulation gives the empty text
    fields = [f.strip() for f in text.split(",")]
    if len(fields) == 1 and fields[0].upper() == "NOT RUN":
        return None
    if len(fields) == 2 and fields[0].upper() in ("PASS", "FAIL"):
        try:
            return SweepVerdict(fields[0].upper() == "PASS", float(fields[1]))
        except ValueError:
            pass
    raise InstrumentError(L.IVI_ERROR_UNEXPECTED_RESPONSE, f"unexpected sweep verdict: {text!r}")


_GET = {"ViInt32": ("Varnel_GetAttributeViInt32", c_int32), "ViReal64": ("Varnel_GetAttributeViReal64", c_double),
        "ViBoolean": ("Varnel_GetAttributeViBoolean", c_uint16),
        "ViSession": ("Varnel_GetAttributeViSession", c_uint32)}
_SWEEPS = ("Current", "Power", "Conductance")


class Load(AttributeProperties):
    """A session on one QVX load, opened on `resource` (a VISA resource such
    as "TCPIP::192.0.2.5::5025::SOCKET", or a logical name of the
    configuration store).

    id_query checks the model, reset resets the load, simulate runs without
    an instrument, model chooses the model in simulation ("QVX M2"), options
    is the driver's option string ("Cache=0, RangeCheck=0"). Use it as a
    context manager or call close(). One Load may be used from several
    threads; calls on one session never interleave."""

    raw: "RawIO"  #: direct I/O on the instrument connection

    def __init__(self, resource: str, *, id_query: bool = True, reset: bool = False, simulate: bool = False,
                 model: Optional[str] = None, options: str = "") -> None:
        self._vi = 0
        self._closed = True
        self._resource = resource
        self._state = threading.Condition()
        self._in_flight = 0
        self._held = threading.local()
        resource_bytes = _text("resource", resource)
        id_query_flag = _flag("id_query", id_query)
        reset_flag = _flag("reset", reset)
        _flag("simulate", simulate)
        option_string = self._option_string(_text("options", options).decode(), simulate, model)
        self._lib = library()
        vi = c_uint32(0)
        status = self._lib.Varnel_InitWithOptions(resource_bytes, id_query_flag, reset_flag,
                                                  option_string.encode("ascii"), byref(vi))
        if status < 0:
            # The reason of a failed initialization is the calling thread's error.
            raise self._error(status, 0, "Varnel_InitWithOptions")
        self._vi = vi.value
        self._closed = False
        self.raw = RawIO(self)
        if status > 0:
            self._warn(status, self._vi, "Varnel_InitWithOptions")

    @staticmethod
    def _option_string(options: str, simulate: bool, model: Optional[str]) -> str:
        parts = []
        if simulate:
            parts.append("Simulate=1")
        if options.strip():
            parts.append(options.strip())
        text = ", ".join(parts)
        if model is not None:
            model_text = _text("model", model).decode()
            if not model_text.strip() or any(c in model_text for c in ",\r\n"):
                raise ValueError(f"model must be a model name such as 'QVX M2', not {model!r}")
            # The DriverSetup part comes last: everything behind it belongs to it.
            if "driversetup" in options.lower():
                text += f", Model:{model_text}"
            else:
                text = (text + ", " if text else "") + f"DriverSetup=Model:{model_text}"
        return text

    # ---- the session's life ----

    def __enter__(self) -> "Load":
        return self

    def __exit__(self, *exc: object) -> None:
        self.close()

    def __repr__(self) -> str:
        return f"<varnel.Load {self._resource!r} {'closed' if self._closed else 'open'}>"

    def __del__(self) -> None:
        try:
            self.close()
        except Exception:
            pass

    @property
    def closed(self) -> bool:
        """True once close() has been called (or the initialization failed)."""
        return self._closed

    @property
    def handle(self) -> int:
        """The driver's session handle, for calls through varnel.library()."""
        with self._state:
            if self._closed:
                raise SessionClosedError("the Load is closed")
            return self._vi

    def close(self) -> None:
        """Closes the session; later calls raise SessionClosedError. Calls
        running on other threads finish first. A second close does nothing."""
        state = getattr(self, "_state", None)
        if state is None:
            return
        with state:
            if self._closed:
                return
            self._closed = True
            # A lock this thread holds through locked() would keep other
            # threads' calls, and so this close, waiting.
            vi = self._vi
            for _ in range(getattr(self._held, "depth", 0)):
                has = c_uint16(1)  # unlocking takes the caller's word that it holds the lock
                self._lib.Varnel_UnlockSession(vi, byref(has))
            self._held.depth = 0
            while self._in_flight:
                state.wait()
            self._vi = 0
        status = self._lib.Varnel_close(vi)
        if status < 0:
            raise error_class(status)(status, _message(self._lib, 0, status), "Varnel_close")

    # ---- calls ----

    def _enter(self) -> int:
        with self._state:
            if self._closed:
                raise SessionClosedError(f"the Load on {self._resource!r} is closed")
            self._in_flight += 1
            return self._vi

    def _leave(self) -> None:
        with self._state:
            self._in_flight -= 1
            if not self._in_flight:
                self._state.notify_all()

    def _call(self, function: str, *args: Any, success: Tuple[int, ...] = ()) -> int:
        """Calls a driver function on this session; a negative status raises,
        a positive one is a VarnelWarning unless it is listed in success."""
        vi = self._enter()
        try:
            status = getattr(self._lib, function)(vi, *args)
            if status < 0:
                raise self._error(status, vi, function)
            if status > 0 and status not in success:
                self._warn(status, vi, function)
            return status
        finally:
            self._leave()

    def _error(self, status: int, vi: int, function: str) -> VarnelError:
        code = c_int32(0)
        buffer = create_string_buffer(ERROR_BUFFER)
        text = ""
        if self._lib.Varnel_GetError(vi, byref(code), ERROR_BUFFER, buffer) >= 0 and code.value == status:
            text = buffer.value.decode("latin-1")
        name = None
        if not text:
            # Not recorded (a VISA status passed through): the code's message.
            text = _message(self._lib, vi, status)
        if not text:
            described = visa_status_description(status)
            if described:
                name, _, text = described.partition(": ") if ": " in described else (None, "", described)
        return error_class(status)(status, text, function, name)

    def _warn(self, status: int, vi: int, function: str) -> None:
        warnings.warn(VarnelWarning(status, _message(self._lib, vi, status), function), stacklevel=4)

    # ---- attributes ----

    def _get(self, attribute: int, vtype: str) -> Any:
        if vtype == "ViString":
            buffer = create_string_buffer(STRING_BUFFER)
            self._call("Varnel_GetAttributeViString", b"", attribute, STRING_BUFFER, buffer)
            return buffer.value.decode("latin-1")
        function, ctype = _GET[vtype]
        value = ctype()
        self._call(function, b"", attribute, byref(value))
        return bool(value.value) if vtype == "ViBoolean" else value.value

    def _set(self, attribute: int, vtype: str, value: Any, enum: Optional[Type[IntEnum]] = None) -> None:
        name = PROPERTY_NAMES.get(attribute, str(attribute))
        if vtype == "ViReal64":
            self._call("Varnel_SetAttributeViReal64", b"", attribute, _real(name, value))
        elif vtype == "ViInt32":
            self._call("Varnel_SetAttributeViInt32", b"", attribute, _int32(name, value, enum))
        elif vtype == "ViBoolean":
            self._call("Varnel_SetAttributeViBoolean", b"", attribute, _flag(name, value))
        elif vtype == "ViString":
            self._call("Varnel_SetAttributeViString", b"", attribute, _text(name, value))
        elif vtype == "ViSession":
            self._call("Varnel_SetAttributeViSession", b"", attribute,
                       _int32(name, value, minimum=0, maximum=0xFFFFFFFF))
        else:  # pragma: no cover - the generator knows no other type
            raise TypeError(f"no conversion for {vtype}")

    def _write_only(self, name: str) -> Any:
        raise AttributeError(f"{name} is a write-only setting: the load cannot report it")

    @staticmethod
    def attribute(name: Union[str, int]) -> L.AttributeInfo:
        """The header's record of an attribute by property name ("constant_current"),
        macro name ("VARNEL_ATTR_CONSTANT_CURRENT" or "CONSTANT_CURRENT") or identifier."""
        if isinstance(name, bool) or not isinstance(name, (str, int)):
            raise TypeError(f"an attribute is named by a str or an int, not {type(name).__name__}")
        for info in L.ATTRIBUTES.values():
            if isinstance(name, int):
                if info.id == name:
                    return info
            elif name.upper() in (info.name, info.name[len("VARNEL_ATTR_"):]):
                return info
        raise ValueError(f"no attribute {name!r}")

    def get_attribute(self, name: Union[str, int]) -> Any:
        """Reads a readable attribute by name or identifier."""
        info = self.attribute(name)
        if info.access == "W":
            self._write_only(PROPERTY_NAMES[info.id])
        value = self._get(info.id, info.type)
        enum = L.ATTRIBUTE_ENUMS.get(info.name)
        return enum(value) if enum else value

    def set_attribute(self, name: Union[str, int], value: Any) -> None:
        """Writes a writable attribute by name or identifier."""
        info = self.attribute(name)
        if info.access == "R":
            raise AttributeError(f"{PROPERTY_NAMES[info.id]} is read-only")
        self._set(info.id, info.type, value, L.ATTRIBUTE_ENUMS.get(info.name))

    def invalidate_all_attributes(self) -> None:
        """Empties the session's attribute cache."""
        self._call("Varnel_InvalidateAllAttributes")

    def next_coercion_record(self) -> str:
        """Takes the oldest coercion record; the empty text when there is none."""
        buffer = create_string_buffer(STRING_BUFFER)
        self._call("Varnel_GetNextCoercionRecord", STRING_BUFFER, buffer, success=(STRING_BUFFER,))
        return buffer.value.decode("latin-1")

    # ---- the session lock ----

    @contextlib.contextmanager
    def locked(self) -> Iterator["Load"]:
        """Holds the session lock across the calls of a with block: calls on
        this session from other threads wait until the block ends."""
        has = c_uint16(0)
        self._call("Varnel_LockSession", byref(has))
        self._held.depth = getattr(self._held, "depth", 0) + 1
        try:
            yield self
        finally:
            if getattr(self._held, "depth", 0) > 0:  # close() may have released it already
                self._held.depth -= 1
                self._call("Varnel_UnlockSession", byref(has))

    # ---- utilities ----

    def reset(self) -> None:
        """Resets the instrument (its initialize command)."""
        self._call("Varnel_reset")

    def reset_with_defaults(self) -> None:
        """Resets the instrument."""
        self._call("Varnel_ResetWithDefaults")

    def system_initialize(self) -> None:
        """Sends the instrument's initialize command under the long-command time-out."""
        self._call("Varnel_SystemInitialize")

    def system_clear(self) -> None:
        """Sends the instrument's clear command."""
        self._call("Varnel_SystemClear")

    def disable(self) -> None:
        """Clears the instrument and switches the load off."""
        self._call("Varnel_Disable")

    def self_test(self) -> Tuple[int, str]:
        """The self-test result code and message."""
        result = c_int16(0)
        message = create_string_buffer(MESSAGE_BUFFER)
        self._call("Varnel_self_test", byref(result), message)
        return result.value, message.value.decode("latin-1")

    def revision_query(self) -> Tuple[str, str]:
        """The driver revision and the instrument firmware revision."""
        driver = create_string_buffer(MESSAGE_BUFFER)
        instrument = create_string_buffer(MESSAGE_BUFFER)
        self._call("Varnel_revision_query", driver, instrument)
        return driver.value.decode("latin-1"), instrument.value.decode("latin-1")

    def error_query(self) -> Tuple[int, str]:
        """The instrument error code and message."""
        code = c_int32(0)
        message = create_string_buffer(MESSAGE_BUFFER)
        self._call("Varnel_error_query", byref(code), message)
        return code.value, message.value.decode("latin-1")

    def error_message(self, status: int) -> str:
        """The driver's message for a status code."""
        status = _int32("status", status)
        vi = self._enter()
        try:
            return _message(self._lib, vi, status)
        finally:
            self._leave()

    # ---- load settings and maintenance ----

    def short_circuit(self) -> None:
        """Applies a short circuit, until the next set point."""
        self._call("Varnel_SetShortCircuit")

    def reset_alarm(self) -> None:
        """Resets the protection alarms."""
        self._call("Varnel_ResetAlarm")

    def reset_lan(self) -> None:
        """Resets the instrument's LAN settings."""
        self._call("Varnel_ResetLan")

    def restore_factory_settings(self) -> None:
        """Restores the instrument's factory LAN settings."""
        self._call("Varnel_RestoreFactorySettings")

    # ---- measurements (0.0 in simulation) ----

    def _measure(self, function: str) -> float:
        value = c_double(0.0)
        self._call(function, byref(value))
        return value.value

    def _measure_in(self, function: str, range_: Any) -> float:
        token = _int32("range", range_, L.FUNCTION_ENUMS[function])
        value = c_double(0.0)
        self._call(function, token, byref(value))
        return value.value

    def measure_voltage(self) -> float:
        """Measures the voltage, V."""
        return self._measure("Varnel_MeasureVoltage")

    def measure_dc_voltage(self, range: Union[L.DCVoltageRange, int] = L.DCVoltageRange.AUTO) -> float:
        """Measures the DC voltage in a DCVoltageRange, V."""
        return self._measure_in("Varnel_MeasureDCVoltage", range)

    def measure_current(self) -> float:
        """Measures the current, A."""
        return self._measure("Varnel_MeasureCurrent")

    def measure_current_at_range(self, range: Union[L.CurrentRange, int]) -> float:
        """Measures the current in a CurrentRange, A."""
        return self._measure_in("Varnel_MeasureCurrentAtRange", range)

    def measure_power(self) -> float:
        """Measures the power, W."""
        return self._measure("Varnel_MeasurePower")

    def measure_noise_voltage(self, range: Union[L.NoiseVoltageRange, int] = L.NoiseVoltageRange.AUTO) -> float:
        """Measures the noise voltage in a NoiseVoltageRange, V peak to peak."""
        return self._measure_in("Varnel_MeasureNoiseVoltage", range)

    def measure_ripple_voltage(self, range: Union[L.NoiseVoltageRange, int] = L.NoiseVoltageRange.AUTO) -> float:
        """Measures the ripple voltage in a NoiseVoltageRange, V rms."""
        return self._measure_in("Varnel_MeasureRippleVoltage", range)

    def measure_noise_power(self) -> float:
        """Measures the noise power, W."""
        return self._measure("Varnel_MeasureNoisePower")

    def measure_simplified_current(self, range: Union[L.CurrentRange, int] = L.CurrentRange.AUTO) -> float:
        """Simplified current reading (three decimals) in a CurrentRange, A."""
        return self._measure_in("Varnel_MeasureSimplifiedCurrent", range)

    def measure_simplified_power(self) -> float:
        """Simplified power reading (three decimals), W."""
        return self._measure("Varnel_MeasureSimplifiedPower")

    # ---- dynamic modes ----

    def configure_time_dynamic_step(self, step: int, load: float, dwell: float,
                                    slew_rate: Optional[float] = None) -> None:
        """Sets the level (A), dwell time (ms) and, when given, the slew rate
        (A/us) of time-dynamic step 1..16."""
        step = _int32("step", step, minimum=1, maximum=16)
        prefix = f"VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP{step}_"
        values = [("LOAD", _real("load", load)), ("DWELL", _real("dwell", dwell))]
        if slew_rate is not None:
            values.append(("SLEW_RATE", _real("slew_rate", slew_rate)))
        for suffix, value in values:
            self._set(L.ATTRIBUTES[prefix + suffix].id, "ViReal64", value)

    def configure_frequency_dynamic_mode(self, period: float, duty_cycle: float, level1: float, level2: float,
                                         slew_rate1: Optional[float] = None,
                                         slew_rate2: Optional[float] = None) -> None:
        """Sets the period (ms), duty cycle (%), the two levels (A) and, when
        given, the slew rates (A/us) of the frequency-dynamic mode."""
        values = [(L.VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_PERIOD, _real("period", period)),
                  (L.VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_DUTY_CYCLE, _real("duty_cycle", duty_cycle)),
                  (L.VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_STEP_1_LOAD, _real("level1", level1)),
                  (L.VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_STEP_2_LOAD, _real("level2", level2))]
        if slew_rate1 is not None:
            values.append((L.VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_STEP_1_SLEW_RATE, _real("slew_rate1", slew_rate1)))
        if slew_rate2 is not None:
            values.append((L.VARNEL_ATTR_FREQUENCY_DYNAMIC_MODE_STEP_2_SLEW_RATE, _real("slew_rate2", slew_rate2)))
        for attribute, value in values:
            self._set(attribute, "ViReal64", value)

    def start_dynamic_mode(self) -> None:
        """Starts the time-dynamic pattern, repeating."""
        self._call("Varnel_StartDynamicMode")

    def start_dynamic_mode_single(self) -> None:
        """Runs the time-dynamic pattern once."""
        self._call("Varnel_StartDynamicModeSingle")

    def start_dynamic_frequency_mode(self) -> None:
        """Starts the frequency-dynamic mode."""
        self._call("Varnel_StartDynamicFrequencyMode")

    def abort_dynamic_mode(self) -> None:
        """Stops any dynamic mode."""
        self._call("Varnel_AbortDynamicMode")

    # ---- sequences ----

    def initialize_sequence(self) -> None:
        """Empties the stored sequence."""
        self._call("Varnel_InitializeSequence")

    def configure_sequence(self, count: int, repeats: int, mode: int, pause: int) -> None:
        """Configures the stored sequence: number of steps, repetitions (0:
        endless), mode (0 CC, 1 CP, 2 CR, 3 CV) and the pause between repetitions (ms)."""
        self._call("Varnel_ConfigureSequence", _int32("count", count), _int32("repeats", repeats),
                   _int32("mode", mode), _int32("pause", pause))

    def set_sequence_load_data(self, step: int, level: float, time: float) -> None:
        """Loads one sequence step: its number, the level (in the sequence's unit) and its time (ms)."""
        self._call("Varnel_SetSequenceLoadData", _int32("step", step), _real("level", level), _real("time", time))

    def start_sequence(self) -> None:
        """Starts the sequence."""
        self._call("Varnel_StartSequence")

    def stop_sequence(self) -> None:
        """Stops the sequence."""
        self._call("Varnel_StopSequence")

    # ---- sweeps ----

    def _configure_sweep(self, kind: str, start: float, stop: float, dwell: float, threshold: float,
                         steps: int) -> None:
        self._call(f"Varnel_Configure{kind}Sweep", _real("start", start), _real("stop", stop),
                   _real("dwell", dwell), _real("threshold", threshold), _int32("steps", steps))

    def _sweep_end_step(self, kind: str) -> int:
        value = c_int32(0)
        self._call(f"Varnel_Get{kind}SweepEndStepCount", byref(value))
        return value.value

    def _sweep_step(self, kind: str, step: int) -> Optional[SweepStep]:
        step = _int32("step", step, minimum=1)
        buffer = create_string_buffer(STRING_BUFFER)
        self._call(f"Varnel_Get{kind}SweepStepResult", step, STRING_BUFFER, buffer)
        return _parse_step(buffer.value.decode("latin-1"))

    def _sweep_verdict(self, kind: str) -> Optional[SweepVerdict]:
        buffer = create_string_buffer(STRING_BUFFER)
        self._call(f"Varnel_Get{kind}SweepPassFailResult", STRING_BUFFER, buffer)
        return _parse_verdict(buffer.value.decode("latin-1"))

    def _run_sweep(self, kind: str, start: float, stop: float, dwell: float, threshold: float, steps: int,
                   limits: Optional[Tuple[float, float]], timeout: float) -> List[SweepStep]:
        timeout = _real("timeout", timeout)
        if timeout <= 0:
            raise ValueError(f"timeout must be positive, not {timeout}")
        if limits is not None:
            if kind == "Conductance":
                raise ValueError("a conductance sweep has no pass/fail limits")
            if not isinstance(limits, tuple) or len(limits) != 2:
                raise TypeError("limits must be a tuple (low, high)")
            low, high = _real("low limit", limits[0]), _real("high limit", limits[1])
        self._configure_sweep(kind, start, stop, dwell, threshold, steps)
        if limits is not None:
            self._call(f"Varnel_Configure{kind}SweepTest", low, high)
        self._call(f"Varnel_Start{kind}Sweep")
        if self._get(L.VARNEL_ATTR_SIMULATE, "ViBoolean"):
            return []  # in simulation a sweep never runs a step
        end = self._wait_for_sweep(kind, timeout)
        return [s for s in (self._sweep_step(kind, n) for n in range(1, end + 1)) if s is not None]

    def _wait_for_sweep(self, kind: str, timeout: float) -> int:
        deadline = time.monotonic() + timeout
        pause = 0.005
        while True:
            end = self._sweep_end_step(kind)
            if end >= 0:
                return end
            if time.monotonic() >= deadline:
                raise TimeoutError(f"the {kind.lower()} sweep did not end within {timeout:g} s")
            time.sleep(pause)
            pause = min(pause * 2, 0.2)

    def configure_current_sweep(self, start: float, stop: float, dwell: float, threshold: float,
                                steps: int) -> None:
        """Configures the current sweep: first and last level (A), time per
        step (ms), the voltage threshold that ends it (V, 0: never), steps."""
        self._configure_sweep("Current", start, stop, dwell, threshold, steps)

    def configure_current_sweep_test(self, low: float, high: float) -> None:
        """Sets the pass/fail limits (A) of the current sweep test."""
        self._call("Varnel_ConfigureCurrentSweepTest", _real("low", low), _real("high", high))

    def start_current_sweep(self) -> None:
        """Starts the current sweep."""
        self._call("Varnel_StartCurrentSweep")

    def current_sweep_step(self, step: int) -> Optional[SweepStep]:
        """The result of one current sweep step; None for a step not run."""
        return self._sweep_step("Current", step)

    def current_sweep_verdict(self) -> Optional[SweepVerdict]:
        """The pass/fail verdict of the current sweep test; None before a sweep has finished."""
        return self._sweep_verdict("Current")

    def current_sweep(self, start: float, stop: float, dwell: float, threshold: float, steps: int, *,
                      limits: Optional[Tuple[float, float]] = None, timeout: float = 60.0) -> List[SweepStep]:
        """Runs a current sweep and returns the steps it ran, up to its end
        step (empty in simulation). limits=(low, high) sets its test limits first."""
        return self._run_sweep("Current", start, stop, dwell, threshold, steps, limits, timeout)

    def configure_power_sweep(self, start: float, stop: float, dwell: float, threshold: float,
                              steps: int) -> None:
        """Configures the power sweep: first and last level (W), time per
        step (ms), the voltage threshold that ends it (V, 0: never), steps."""
        self._configure_sweep("Power", start, stop, dwell, threshold, steps)

    def configure_power_sweep_test(self, low: float, high: float) -> None:
        """Sets the pass/fail limits (W) of the power sweep test."""
        self._call("Varnel_ConfigurePowerSweepTest", _real("low", low), _real("high", high))

    def start_power_sweep(self) -> None:
        """Starts the power sweep."""
        self._call("Varnel_StartPowerSweep")

    def power_sweep_step(self, step: int) -> Optional[SweepStep]:
        """The result of one power sweep step; None for a step not run."""
        return self._sweep_step("Power", step)

    def power_sweep_verdict(self) -> Optional[SweepVerdict]:
        """The pass/fail verdict of the power sweep test; None before a sweep has finished."""
        return self._sweep_verdict("Power")

    def power_sweep(self, start: float, stop: float, dwell: float, threshold: float, steps: int, *,
                    limits: Optional[Tuple[float, float]] = None, timeout: float = 60.0) -> List[SweepStep]:
        """Runs a power sweep and returns the steps it ran (empty in simulation)."""
        return self._run_sweep("Power", start, stop, dwell, threshold, steps, limits, timeout)

    def configure_conductance_sweep(self, start: float, stop: float, dwell: float, threshold: float,
                                    steps: int) -> None:
        """Configures the conductance sweep: first and last level (S), time
        per step (ms), the voltage threshold that ends it (V, 0: never), steps."""
        self._configure_sweep("Conductance", start, stop, dwell, threshold, steps)

    def configure_fine_conductance_sweep(self, step: float, dwell: float) -> None:
        """Makes the next conductance sweeps fine: by step siemens, dwell ms each (step 0: coarse again)."""
        self._call("Varnel_ConfigureFineConductanceSweep", _real("step", step), _real("dwell", dwell))

    def start_conductance_sweep(self) -> None:
        """Starts the conductance sweep."""
        self._call("Varnel_StartConductanceSweep")

    def conductance_sweep_step(self, step: int) -> Optional[SweepStep]:
        """The result of one conductance sweep step; None for a step not run."""
        return self._sweep_step("Conductance", step)

    def conductance_sweep(self, start: float, stop: float, dwell: float, threshold: float, steps: int, *,
                          timeout: float = 60.0) -> List[SweepStep]:
        """Runs a conductance sweep and returns the steps it ran (empty in simulation)."""
        return self._run_sweep("Conductance", start, stop, dwell, threshold, steps, None, timeout)


class RawIO:
    """Direct I/O on a Load's instrument connection (not in simulation):
    bytes go as they are, nothing is added."""

    def __init__(self, load: Load) -> None:
        self._load = load

    def write(self, data: Union[str, bytes]) -> int:
        """Writes the bytes (a str is encoded as ASCII); returns the count written."""
        if isinstance(data, str):
            data = _text("data", data)
        elif not isinstance(data, (bytes, bytearray)):
            raise TypeError(f"data must be str or bytes, not {type(data).__name__}")
        count = c_int64(0)
        self._load._call("Varnel_viWrite", len(data), c_char_p(bytes(data)), byref(count))
        return count.value

    def read(self, size: int = READ_BUFFER) -> bytes:
        """Reads one whole response, at most size bytes of it (the rest is discarded)."""
        size = _int32("size", size, minimum=1)
        buffer = create_string_buffer(size)
        count = c_int64(0)
        self._load._call("Varnel_viRead", size, buffer, byref(count),
                         success=(VI_SUCCESS_TERM_CHAR, VI_SUCCESS_MAX_CNT))
        return buffer.raw[:count.value]

    def query(self, line: str) -> str:
        """Writes one command line (a line feed is added when missing) and
        returns the reply line without its line feed. The session lock is
        held across the two, so no other thread's command comes between."""
        if not isinstance(line, str):
            raise TypeError(f"line must be a str, not {type(line).__name__}")
        with self._load.locked():
            self.write(line if line.endswith("\n") else line + "\n")
            return self.read().decode("latin-1").rstrip("\r\n")

"""Python binding of the Varnel IVI-C driver for the QVX M1 to QVX M4
programmable DC electronic loads.

    import varnel
    with varnel.Load("TCPIP::192.0.2.5::5025::SOCKET") as load:
        load.constant_current = 2.5
        load.load_enabled = True
        print(load.measure_voltage())

The driver library is loaded on first use (see varnel.library()); the low
layer, varnel.lowlevel, holds every function of the C header with its ctypes
types, the attribute identifiers, defined values and status codes."""
from . import _lowlevel as lowlevel
from ._errors import (AttributeAccessError, ConfigurationError, InstrumentError, NotSupportedError, OptionError,
                      SessionClosedError, SessionError, VarnelError, VarnelIOError, VarnelWarning)
from ._library import LibraryNotFoundError, library
from ._load import Load, RawIO, SweepStep, SweepVerdict, error_text
from ._lowlevel import (BandLimit, ConstantCurrentVoltageRange, CurrentRange, DCVoltageRange, DisplayPosition,
                        MasterSlaveMode, MeasurementAveraging, MeasurementMode, ModeSwitching, NoiseFilter,
                        NoiseVoltageRange, SampleRate)

__version__ = "1.0.1.0"

__all__ = [
    "Load", "RawIO", "SweepStep", "SweepVerdict", "error_text", "library", "lowlevel",
    "VarnelError", "VarnelWarning", "SessionError", "OptionError", "AttributeAccessError", "InstrumentError",
    "VarnelIOError", "NotSupportedError", "ConfigurationError", "SessionClosedError", "LibraryNotFoundError",
    "BandLimit", "ConstantCurrentVoltageRange", "CurrentRange", "DCVoltageRange", "DisplayPosition",
    "MasterSlaveMode", "MeasurementAveraging", "MeasurementMode", "ModeSwitching", "NoiseFilter",
    "NoiseVoltageRange", "SampleRate",
]

"""Exceptions and warnings for the driver's status codes."""
from __future__ import annotations

from typing import Dict, Optional, Type

from . import _lowlevel as L

__all__ = ["VarnelError", "VarnelWarning", "SessionError", "OptionError", "AttributeAccessError",
           "InstrumentError", "VarnelIOError", "NotSupportedError", "ConfigurationError",
           "SessionClosedError", "status_name", "error_class"]

# VISA completion codes that mean success: a read ended at the termination
# character or filled the caller's count.
VI_SUCCESS_TERM_CHAR = 0x3FFF0005
VI_SUCCESS_MAX_CNT = 0x3FFF0006


def status_name(code: int) -> Optional[str]:
    """The header's name of a status code, None when it defines none."""
    return L.STATUS_NAMES.get(code)


def _describe(code: int, name: Optional[str], text: str) -> str:
    label = name or f"status 0x{code & 0xFFFFFFFF:08X}"
    return f"{label}: {text}" if text else label


class VarnelError(Exception):
    """A negative status of the driver: `code`, its `name` where the header
    defines one, and the driver's `text` for it."""

    def __init__(self, code: int, text: str = "", function: Optional[str] = None,
                 name: Optional[str] = None) -> None:
        self.code = code
        self.name = name or status_name(code)
        self.text = text
        self.function = function
        super().__init__(_describe(code, self.name, text))


class SessionError(VarnelError):
    """The session handle, or initializing and closing a session."""


class OptionError(VarnelError):
    """The option string of an initialization."""


class AttributeAccessError(VarnelError):
    """An attribute that does not exist, cannot be read or written, or a bad value."""


class InstrumentError(VarnelError):
    """The instrument's identity, status or reply."""


class VarnelIOError(VarnelError):
    """Instrument I/O: the driver's I/O errors and the VISA status of failed I/O."""


class NotSupportedError(VarnelError):
    """A function the driver does not support."""


class ConfigurationError(VarnelError):
    """The configuration store, its files and the names in it."""


_FAMILIES: Dict[Type[VarnelError], tuple] = {
    SessionError: ("IVI_ERROR_INVALID_SESSION_HANDLE", "IVI_ERROR_NOT_INITIALIZED",
                   "IVI_ERROR_ALREADY_INITIALIZED", "IVI_ERROR_CANNOT_CHANGE_SIMULATION_STATE",
                   "IVI_ERROR_OPERATION_PENDING", "IVI_ERROR_OUT_OF_MEMORY", "IVI_ERROR_CANNOT_RECOVER",
                   "IVI_ERROR_NULL_POINTER"),
    OptionError: ("IVI_ERROR_MISSING_OPTION_NAME", "IVI_ERROR_MISSING_OPTION_VALUE",
                  "IVI_ERROR_BAD_OPTION_NAME", "IVI_ERROR_BAD_OPTION_VALUE"),
    AttributeAccessError: ("IVI_ERROR_INVALID_ATTRIBUTE", "IVI_ERROR_IVI_ATTR_NOT_WRITABLE",
                           "IVI_ERROR_IVI_ATTR_NOT_READABLE", "IVI_ERROR_INVALID_VALUE",
                           "IVI_ERROR_ATTRIBUTE_NOT_SUPPORTED", "IVI_ERROR_VALUE_NOT_SUPPORTED",
                           "IVI_ERROR_TYPES_DO_NOT_MATCH", "IVI_ERROR_UNKNOWN_CHANNEL_NAME",
                           "IVI_ERROR_CHANNEL_NAME_REQUIRED"),
    InstrumentError: ("IVI_ERROR_INSTRUMENT_STATUS", "IVI_ERROR_UNEXPECTED_RESPONSE",
                      "IVI_ERROR_STATUS_NOT_AVAILABLE", "IVI_ERROR_ID_QUERY_FAILED", "IVI_ERROR_RESET_FAILED"),
    VarnelIOError: ("VARNEL_ERROR_IO_GENERAL", "VARNEL_ERROR_IO_TIMEOUT"),
    NotSupportedError: ("IVI_ERROR_FUNCTION_NOT_SUPPORTED",),
    ConfigurationError: ("IVI_ERROR_CANNOT_OPEN_FILE", "IVI_ERROR_READING_FILE", "IVI_ERROR_WRITING_FILE",
                         "IVI_ERROR_INVALID_PATHNAME", "IVI_ERROR_TOO_MANY_OPEN_FILES",
                         "IVI_ERROR_FILE_NOT_FOUND", "IVI_ERROR_INVALID_FILE_FORMAT",
                         "IVI_ERROR_RESOURCE_UNKNOWN", "IVI_ERROR_INVALID_NUMBER_OF_LEVELS_IN_SELECTOR",
                         "IVI_ERROR_INVALID_RANGE_IN_SELECTOR", "IVI_ERROR_UNKNOWN_NAME_IN_SELECTOR",
                         "IVI_ERROR_BADLY_FORMED_SELECTOR", "IVI_ERROR_UNKNOWN_PHYSICAL_IDENTIFIER"),
}
_CLASS_OF_CODE: Dict[int, Type[VarnelError]] = {
    getattr(L, name): cls for cls, names in _FAMILIES.items() for name in names if hasattr(L, name)}


def error_class(code: int) -> Type[VarnelError]:
    """The exception class of a negative status: its family's, VarnelIOError
    for a VISA error (0xBFFF....), else VarnelError."""
    cls = _CLASS_OF_CODE.get(code)
    if cls is not None:
        return cls
    if (code & 0xFFFF0000) == 0xBFFF0000:
        return VarnelIOError
    return VarnelError


class VarnelWarning(UserWarning):
    """A positive status of the driver (a warning): `code`, `name`, `text`."""

    def __init__(self, code: int, text: str = "", function: Optional[str] = None) -> None:
        self.code = code
        self.name = status_name(code)
        self.text = text
        self.function = function
        super().__init__(_describe(code, self.name, text))


class SessionClosedError(ValueError):
    """A Load used after close(): no handle is passed to the driver."""

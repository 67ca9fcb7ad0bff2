"""Python binding of the Varnel IVI-C driver for the QVX M1 to QVX M4
programmable DC electronic loads. The low layer, varnel.lowlevel, holds every
function of the C header with its ctypes types, the attribute identifiers,
defined values and status codes; varnel.library() loads and binds the driver."""
from . import _lowlevel as lowlevel
from ._library import LibraryNotFoundError, library

__version__ = "1.0.1.0"

__all__ = ["library", "lowlevel", "LibraryNotFoundError"]

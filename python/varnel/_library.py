"""Finds, loads and binds the driver library.

The search order: the file named by VARNEL_LIBRARY; the package's own folder;
the installed driver in lib/<multiarch>/ under the package's own prefix and
the usual prefixes; the build tree when the package runs from a checkout. A 32-bit Python loads
libVarnel.so, any other libVarnel_64.so."""
from __future__ import annotations

import ctypes
import os
import sys
import threading
from typing import Callable, Dict, List, Optional, Tuple

from . import _lowlevel

__all__ = ["LibraryNotFoundError", "Driver", "library", "candidates"]

IS_64BIT = ctypes.sizeof(ctypes.c_void_p) == 8
LIBRARY_FILE = "libVarnel_64.so" if IS_64BIT else "libVarnel.so"
MULTIARCH = "x86_64-linux-gnu" if IS_64BIT else "i386-linux-gnu"
BUILD_TREE = "64" if IS_64BIT else "32"
PREFIXES = ("/usr/local", "/usr", "/opt/varnel")


class LibraryNotFoundError(OSError):
    """No driver library could be loaded; the message names every place looked."""


def candidates() -> List[Tuple[str, str]]:
    """The places looked at, in order, as (what, path)."""
    package = os.path.dirname(os.path.abspath(__file__))
    places = [("the package folder", os.path.join(package, LIBRARY_FILE))]
    # The prefix the package is installed under comes first: the package
    # lies in <prefix>/lib/python3*/{site,dist}-packages/varnel.
    prefixes = []
    site = os.path.dirname(package)
    if os.path.basename(site) in ("site-packages", "dist-packages") and \
            os.path.basename(os.path.dirname(site)).startswith("python"):
        prefixes.append(os.path.dirname(os.path.dirname(os.path.dirname(site))))
    for root in PREFIXES + (sys.prefix,):
        if root not in prefixes:
            prefixes.append(root)
    for prefix in prefixes:
        places.append(("the installed driver", os.path.join(prefix, "lib", MULTIARCH, LIBRARY_FILE)))
    checkout = os.path.abspath(os.path.join(package, "..", ".."))
    if os.path.isfile(os.path.join(checkout, "include", "Varnel.h")):
        build_root = os.environ.get("VARNEL_BUILD_ROOT") or os.path.join(checkout, "build")
        places.append(("the build tree", os.path.join(build_root, BUILD_TREE, "lib", LIBRARY_FILE)))
    return places


class Driver:
    """The loaded library: every function of the header bound with its
    argtypes and restype. Functions the library does not export are listed in
    `missing`; calling one raises NotImplementedError naming it."""

    def __init__(self, path: str) -> None:
        self.path = path
        self.cdll = ctypes.CDLL(path)
        self.missing: List[str] = []
        self._functions: Dict[str, Callable[..., int]] = {}
        for name, info in _lowlevel.FUNCTIONS.items():
            try:
                function = getattr(self.cdll, name)
            except AttributeError:
                self.missing.append(name)
                continue
            function.argtypes = info.argtypes
            function.restype = _lowlevel.RESTYPE
            self._functions[name] = function

    def __getattr__(self, name: str) -> Callable[..., int]:
        try:
            return self.__dict__["_functions"][name]
        except KeyError:
            if name in _lowlevel.FUNCTIONS:
                raise NotImplementedError(f"the driver library {self.path} does not export {name}") from None
            raise AttributeError(name) from None


_lock = threading.Lock()
_driver: Optional[Driver] = None


def library() -> Driver:
    """The driver library, loaded and bound on first use."""
    global _driver
    with _lock:
        if _driver is None:
            _driver = _load()
        return _driver


def _load() -> Driver:
    named = os.environ.get("VARNEL_LIBRARY")
    if named:
        # Named explicitly: that file or nothing.
        places = [("VARNEL_LIBRARY", named)]
    else:
        places = candidates()
    looked = []
    for what, path in places:
        if not os.path.exists(path):
            looked.append(f"  {what}: {path} (not there)")
            continue
        try:
            return Driver(path)
        except OSError as e:
            looked.append(f"  {what}: {path} ({e})")
    raise LibraryNotFoundError(
        f"cannot load the Varnel driver {LIBRARY_FILE}; looked at:\n" + "\n".join(looked) +
        "\nInstall the varnel package, build the driver (scripts/test 64 in a checkout), "
        "or name the library with VARNEL_LIBRARY.")


# VISA libraries the driver may have loaded, by the names their loaders know.
VISA_NAMES = ("libvarnel-visa.so.1", "libvisa.so", "libvisa.so.0", "librsvisa.so", "libiovisa.so")
_visa: Optional[Callable[..., int]] = None
_visa_looked = False


def visa_status_description(status: int) -> Optional[str]:
    """The VISA library's description of a VISA status (viStatusDesc) when
    the driver has loaded a VISA library; None otherwise. No library is
    loaded for this: only one already in the process is used."""
    global _visa, _visa_looked
    with _lock:
        if not _visa_looked:
            _visa_looked = True
            for name in VISA_NAMES:
                try:
                    cdll = ctypes.CDLL(name, mode=os.RTLD_NOLOAD | os.RTLD_LOCAL)
                    function = cdll.viStatusDesc
                except (OSError, AttributeError):
                    continue
                function.argtypes = (ctypes.c_uint32, ctypes.c_int32, ctypes.c_char_p)
                function.restype = ctypes.c_int32
                _visa = function
                break
    if _visa is None:
        return None
    buffer = ctypes.create_string_buffer(256)
    if _visa(0, status, buffer) != 0:
        return None
    return buffer.value.decode("latin-1")

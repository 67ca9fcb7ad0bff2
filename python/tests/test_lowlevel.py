"""The generated low layer: current with the header, complete, bound to the
library; and the library finder."""
import ctypes
import enum
import os
import shutil
import subprocess
import sys

import pytest

from conftest import CHECKOUT, PYTHON_DIR

import varnel
from varnel import lowlevel as L

sys.path.insert(0, os.path.join(PYTHON_DIR, "tools"))
import generate  # noqa: E402

HEADER = os.path.join(CHECKOUT, "include", "Varnel.h")


def test_generated_modules_are_current(tmp_path):
    generate.main(["--header", HEADER, "--out", str(tmp_path)])
    for name in ("_lowlevel.py", "_attributes.py"):
        with open(os.path.join(PYTHON_DIR, "varnel", name), encoding="utf-8") as checked_in:
            assert (tmp_path / name).read_text(encoding="utf-8") == checked_in.read(), \
                f"varnel/{name} is stale: run python/tools/generate.py"


def test_generator_refuses_a_declaration_it_cannot_read(tmp_path):
    header = tmp_path / "Varnel.h"
    text = open(HEADER, encoding="ascii").read()
    header.write_text(text.replace("#ifdef __cplusplus\n}", "/* Odd. */\nViStatus _VI_FUNC Varnel_Odd(ViSession Vi, "
                                   "ViWeird X);\n\n#ifdef __cplusplus\n}"))
    with pytest.raises(SystemExit, match="Varnel_Odd"):
        generate.generate(str(header))


def test_every_function_of_the_header_is_bound():
    lib = varnel.library()
    assert len(L.FUNCTIONS) == 158
    assert lib.missing == []
    exported = {name for name in dir(lib.cdll) if name.startswith("Varnel_")}
    for name, info in L.FUNCTIONS.items():
        function = getattr(lib, name)
        assert function.restype is ctypes.c_int32
        assert tuple(function.argtypes) == info.argtypes, name
    assert not exported - set(L.FUNCTIONS)


@pytest.mark.parametrize("name, argtypes", [
    ("Varnel_InitWithOptions", (ctypes.c_char_p, ctypes.c_uint16, ctypes.c_uint16, ctypes.c_char_p,
                                ctypes.POINTER(ctypes.c_uint32))),
    ("Varnel_viRead", (ctypes.c_uint32, ctypes.c_int64, ctypes.c_char_p, ctypes.POINTER(ctypes.c_int64))),
    ("Varnel_self_test", (ctypes.c_uint32, ctypes.POINTER(ctypes.c_int16), ctypes.c_char_p)),
    ("Varnel_GetAttributeViReal64", (ctypes.c_uint32, ctypes.c_char_p, ctypes.c_uint32,
                                     ctypes.POINTER(ctypes.c_double))),
    ("Varnel_ConfigureCurrentSweep", (ctypes.c_uint32,) + (ctypes.c_double,) * 4 + (ctypes.c_int32,)),
])
def test_argument_types_follow_the_header(name, argtypes):
    assert L.FUNCTIONS[name].argtypes == argtypes


def test_identifiers_values_and_status_codes():
    assert L.VARNEL_ATTR_CONSTANT_CURRENT == 1150057
    assert L.VARNEL_ATTR_SIMULATE == 1050005
    # The exchanged blocks of time-dynamic steps 11 and 12.
    assert (L.VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP12_LOAD, L.VARNEL_ATTR_TIME_DYNAMIC_MODE_STEP11_LOAD) == (1150039,
                                                                                                         1150042)
    assert L.ATTRIBUTES["VARNEL_ATTR_SYSTEM_IO_TIMEOUT"] == ("VARNEL_ATTR_SYSTEM_IO_TIMEOUT", 1150002, "ViInt32",
                                                             "R/W", "ms")
    assert L.IVI_ERROR_INVALID_SESSION_HANDLE == 0xBFFA1190 - (1 << 32)
    assert L.IVI_WARN_NSUP_REV_QUERY == 0x3FFA0069
    assert L.STATUS_NAMES[L.VARNEL_ERROR_IO_GENERAL] == "VARNEL_ERROR_IO_GENERAL"
    assert list(varnel.CurrentRange) == [0, 1, 2, 3] and varnel.CurrentRange.HIGH == L.VARNEL_VAL_CURRENT_RANGE_HIGH
    assert varnel.ModeSwitching.DISABLED == 0 and varnel.DCVoltageRange.RANGE500V == 3
    assert L.ATTRIBUTE_ENUMS["VARNEL_ATTR_NOISE_FILTER"] is varnel.NoiseFilter
    assert L.FUNCTION_ENUMS["Varnel_MeasureRippleVoltage"] is varnel.NoiseVoltageRange
    enums = {n for n, v in vars(L).items() if isinstance(v, type) and issubclass(v, enum.IntEnum) and v is not
             enum.IntEnum}
    assert enums and enums <= set(varnel.__all__)


def test_package_version_is_the_drivers():
    cmake = open(os.path.join(CHECKOUT, "CMakeLists.txt"), encoding="utf-8").read()
    assert f"project(Varnel VERSION {varnel.__version__} " in cmake


def finder(env_changes, package_dir=PYTHON_DIR):
    """What a fresh interpreter's finder does: the loaded path, or the error."""
    env = {k: v for k, v in os.environ.items() if k != "VARNEL_LIBRARY"}
    env.update(env_changes)
    env["PYTHONPATH"] = package_dir
    code = ("import varnel\ntry:\n    print('loaded', varnel.library().path)\n"
            "except varnel.LibraryNotFoundError as e:\n    print('error', e)\n")
    result = subprocess.run(["/usr/bin/python3", "-c", code], env=env, capture_output=True, text=True, timeout=60)
    assert result.returncode == 0, result.stderr
    return result.stdout


def test_finder_takes_VARNEL_LIBRARY_alone(tmp_path):
    missing = str(tmp_path / "nowhere" / "libVarnel_64.so")
    out = finder({"VARNEL_LIBRARY": missing})
    assert out.startswith("error cannot load the Varnel driver libVarnel_64.so")
    assert f"VARNEL_LIBRARY: {missing} (not there)" in out
    assert "the build tree" not in out
    out = finder({"VARNEL_LIBRARY": os.environ["VARNEL_LIBRARY"]})
    assert out == f"loaded {os.environ['VARNEL_LIBRARY']}\n"


def test_finder_order_package_folder_installed_build_tree(tmp_path):
    # A copy of the package outside the checkout, with the driver beside it.
    copy = tmp_path / "site"
    shutil.copytree(os.path.join(PYTHON_DIR, "varnel"), copy / "varnel")
    library = os.path.realpath(os.environ["VARNEL_LIBRARY"])
    os.symlink(library, copy / "varnel" / "libVarnel_64.so")
    # The driver finds its private components beside it ($ORIGIN/varnel).
    os.symlink(os.path.join(os.path.dirname(library), "varnel"), copy / "varnel" / "varnel")
    assert finder({}, str(copy)) == f"loaded {copy / 'varnel' / 'libVarnel_64.so'}\n"
    # From the checkout, every place is named in order, the build tree last.
    from varnel import _library
    places = _library.candidates()
    assert places[0] == ("the package folder", os.path.join(PYTHON_DIR, "varnel", "libVarnel_64.so"))
    installed = [p for w, p in places if w == "the installed driver"]
    assert "/usr/lib/x86_64-linux-gnu/libVarnel_64.so" in installed
    assert "/usr/local/lib/x86_64-linux-gnu/libVarnel_64.so" in installed
    assert places[-1][0] == "the build tree"
    assert places[-1][1].endswith(os.path.join("64", "lib", "libVarnel_64.so"))
    empty = tmp_path / "no build"
    out = finder({"VARNEL_BUILD_ROOT": str(empty)})
    if out.startswith("error"):  # no driver installed on this machine
        for what, path in places[:-1]:
            assert path in out
        assert str(empty / "64" / "lib" / "libVarnel_64.so") in out

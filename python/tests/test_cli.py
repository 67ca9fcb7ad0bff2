"""The varnel command: help, info, measure, set and a scripted shell, in
simulation and against the emulator."""
import os
import re

import pytest

from conftest import CHECKOUT, run_python


def varnel_command(*args, stdin=None):
    return run_python("-m", "varnel", *args, stdin=stdin)


@pytest.mark.parametrize("args, words", [
    ((), ("info", "measure", "set", "shell", "--simulate", "RESOURCE", "examples")),
    (("set",), ("constant_current", "load_enabled", "current_range", "--options")),
    (("measure",), ("--every", "--count", "--simulate", "--options")),
])
def test_help(args, words):
    result = varnel_command(*args, "--help")
    assert result.returncode == 0, result.stderr
    for word in words:
        assert word in result.stdout


def test_info_and_measure_in_simulation():
    result = varnel_command("info", "--simulate", "--model", "QVX M4")
    assert result.returncode == 0, result.stderr
    assert re.search(r"^instrument +Pellucor QVX M4$", result.stdout, re.M)
    assert re.search(r"^models +QVX M1,QVX M2,QVX M3,QVX M4$", result.stdout, re.M)
    assert re.search(r"^simulated +yes$", result.stdout, re.M)
    result = varnel_command("measure", "--simulate", "--options", "Cache=0")
    assert result.returncode == 0, result.stderr
    assert re.findall(r"^(voltage|current|power) +0 [VAW]$", result.stdout, re.M) == ["voltage", "current", "power"]


def test_against_the_emulator(emulator):
    result = varnel_command("info", emulator.resource)
    assert result.returncode == 0, result.stderr
    assert re.search(r"^instrument +Pellucor QVX M1$", result.stdout, re.M)
    assert re.search(r"^firmware +1\.05$", result.stdout, re.M)
    assert re.search(r"^driver +Varnel 1\.0\.1\.0, ", result.stdout, re.M)
    for args in (("constant_current", "2"), ("load_enabled", "on"), ("current_range", "high")):
        result = varnel_command("set", emulator.resource, *args)
        assert result.returncode == 0, result.stderr
    assert result.stdout == "current_range = HIGH\n"
    result = varnel_command("measure", emulator.resource)
    readings = dict(re.findall(r"^(\w+) +(\S+) [VAW]$", result.stdout, re.M))
    assert float(readings["current"]) == pytest.approx(2, rel=1e-3)
    assert float(readings["voltage"]) == pytest.approx(11.5, rel=1e-3)
    result = varnel_command("measure", emulator.resource, "--every", "0.02", "--count", "3")
    assert result.returncode == 0, result.stderr
    lines = result.stdout.splitlines()
    assert lines[0].split() == ["time_s", "voltage_V", "current_A", "power_W"]
    rows = [[float(x) for x in line.split()] for line in lines[1:]]
    assert len(rows) == 3 and rows[2][0] >= 0.04 and all(r[2] == pytest.approx(2, rel=1e-3) for r in rows)
    # A scripted shell: commands, queries with and without '?', the end.
    result = varnel_command("shell", emulator.resource,
                            stdin="*IDN?\nCC 1.5\n\nMC 0\n*CLS\nV\n*ESR?\n:quit\nCC 9\n")
    transcript = emulator.stop()
    out = result.stdout.splitlines()
    assert out[0] == "QVX M1 LOAD 1.05" and float(out[1]) == pytest.approx(1.5, rel=1e-3)
    assert out[2:] == ["1.05", "0"]
    assert result.returncode == 0, result.stderr
    for line in ("< CC 2", "< SW 1", "< RC 1", "< CC 1.5", "< *CLS"):
        assert line in transcript, line
    assert "< CC 9" not in transcript  # after :quit


@pytest.mark.parametrize("args, code, message", [
    (("set", "--simulate", "constant_current", "abc"), 2, "constant_current takes a number, not 'abc'"),
    (("set", "--simulate", "serial_number", "x"), 2, "serial_number is not a write-only setting"),
    (("set", "--simulate", "bogus", "1"), 2, "no attribute 'bogus'"),
    (("set", "--simulate", "noise_filter", "7"), 2, "noise_filter takes one of THRU50_HZ (1)"),
    (("info",), 2, "RESOURCE is needed unless --simulate is given"),
    (("info", "--simulate", "--options", "Bogus=1"), 1,
     "IVI_ERROR_BAD_OPTION_NAME: The 'bogus' name in the option string is unknown."),
    (("measure", "--simulate", "--every", "0"), 2, "--every needs a positive number"),
])
def test_bad_use_is_reported(args, code, message):
    result = varnel_command(*args)
    assert result.returncode == code
    assert message in result.stderr
    assert "Traceback" not in result.stderr


def test_shell_reports_errors_with_their_texts_in_simulation():
    result = varnel_command("shell", "--simulate", stdin="*IDN?\n")
    assert result.returncode == 1
    assert "error: VARNEL_ERROR_IO_GENERAL: I/O error.  Direct I/O operations are not available" in result.stderr


def test_plot_example_writes_a_png(tmp_path):
    out = tmp_path / "sweep.png"
    result = run_python(os.path.join(CHECKOUT, "examples", "sweep_plot.py"), "--out", str(out), timeout=120)
    assert result.returncode == 0, result.stderr
    assert out.read_bytes()[:8] == b"\x89PNG\r\n\x1a\n" and out.stat().st_size > 10000
    rows = re.findall(r"^ *(\d+) +([\d.]+) A +([\d.]+) V", result.stdout, re.M)
    assert rows and float(rows[-1][2]) < 6 <= float(rows[-2][2])
    assert f"wrote {out}" in result.stdout

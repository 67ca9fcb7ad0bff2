"""End to end: the quickstart example, through the driver and our VISA
library, against the emulator. Every line the driver sends must be accepted
(the emulator ignores none), and the readings and the sweep must be the
emulator's. The programs are named by VARNEL_EMULATOR and VARNEL_QUICKSTART."""
import os
import re
import subprocess

import pytest

import emulator_process


def run_quickstart(*args):
    return subprocess.run([os.environ["VARNEL_QUICKSTART"], *args], capture_output=True, text=True, timeout=60)


def test_quickstart_against_the_emulator():
    # 12 V behind 0.25 ohm: 11 V at 4 A, 10.75 V at 5 A, so the sweep ends at its sixth step.
    proc, port = emulator_process.start("--transcript", "--source-resistance", "0.25")
    try:
        result = run_quickstart(f"TCPIP::127.0.0.1::{port}::SOCKET")
    finally:
        transcript = emulator_process.stop(proc)
    out = result.stdout
    assert result.returncode == 0, out + result.stderr
    assert "instrument  Pellucor QVX M1, firmware 1.05" in out
    readings = dict(re.findall(r"^  (voltage|current|power) +([0-9.]+)", out, re.M))
    assert float(readings["current"]) == pytest.approx(2.5, rel=1e-3)
    assert float(readings["voltage"]) == pytest.approx(12 - 2.5 * 0.25, rel=1e-3)
    assert float(readings["power"]) == pytest.approx(float(readings["voltage"]) * 2.5, rel=2e-3)
    assert "ended at step 6;" in out
    assert len(re.findall(r"^    [1-6],", out, re.M)) == 6
    assert "verdict: PASS," in out
    assert "Session closed." in out
    for line in ("< INI", "< CC 2.5", "< SW 1", "< SWCSET 0,5,20,11,6", "< SWCSTART", "< SW 0"):
        assert line in transcript, line
    assert ", 0 ignored" in transcript, transcript


def test_quickstart_in_simulation():
    result = run_quickstart("--simulate")
    assert result.returncode == 0, result.stdout + result.stderr
    assert "in simulation a sweep never ends" in result.stdout
    assert "Session closed." in result.stdout

"""Shared by the package's tests: the package from this checkout, the driver
and emulator of the 64-bit build tree (or VARNEL_LIBRARY and VARNEL_EMULATOR,
which CTest sets), and an emulator on a free loopback port, stopped by its
process id."""
import os
import select
import subprocess
import sys

import pytest

PYTHON_DIR = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CHECKOUT = os.path.dirname(PYTHON_DIR)
sys.path.insert(0, PYTHON_DIR)
os.environ.setdefault("VARNEL_LIBRARY", os.path.join(CHECKOUT, "build", "64", "lib", "libVarnel_64.so"))
os.environ.setdefault("VARNEL_EMULATOR", os.path.join(CHECKOUT, "build", "64", "bin", "varnel-emulator"))
# Child processes (the CLI, the example) import the same package.
os.environ["PYTHONPATH"] = os.pathsep.join(p for p in (PYTHON_DIR, os.environ.get("PYTHONPATH")) if p)
os.environ["PYTHONDONTWRITEBYTECODE"] = "1"


class Emulator:
    """A running emulator: its port, resource, and transcript once stopped."""

    def __init__(self, *args):
        self.proc = subprocess.Popen([os.environ["VARNEL_EMULATOR"], "--port", "0", *args],
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
        ready, _, _ = select.select([self.proc.stdout], [], [], 10)
        first = self.proc.stdout.readline().strip() if ready else ""
        if not first.startswith("listening 127.0.0.1:"):
            self.stop()
            raise RuntimeError(f"the emulator printed no listening line: {first!r}")
        self.port = int(first.rsplit(":", 1)[1])
        self.resource = f"TCPIP::127.0.0.1::{self.port}::SOCKET"
        self.transcript = None

    def stop(self):
        """Sends SIGTERM to this emulator's process and keeps its standard error."""
        if self.proc.poll() is None:
            self.proc.terminate()
        try:
            self.transcript = self.proc.communicate(timeout=10)[1]
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.transcript = self.proc.communicate()[1]
        return self.transcript


@pytest.fixture
def start_emulator():
    """Starts emulators with the given options; all are stopped afterwards."""
    started = []

    def start(*args):
        emulator = Emulator(*args)
        started.append(emulator)
        return emulator

    yield start
    for emulator in started:
        emulator.stop()


@pytest.fixture
def emulator(start_emulator):
    """The emulator with a transcript: 12 V behind 0.25 ohm."""
    return start_emulator("--transcript", "--source-resistance", "0.25")


def run_python(*args, stdin=None, timeout=60):
    return subprocess.run(["/usr/bin/python3", *args], input=stdin, capture_output=True, text=True,
                          timeout=timeout)

"""PyVISA, a VISA client we did not write, with its pure-Python back end,
talks to the emulator as a TCPIP SOCKET resource: identity, a setting, a
measurement. The emulator program is named by VARNEL_EMULATOR."""
import pytest
import pyvisa

import emulator_process


@pytest.fixture
def emulator():
    proc, port = emulator_process.start("--model", "M2", "--source-voltage", "24", "--source-resistance", "0.1")
    yield port
    emulator_process.stop(proc)


@pytest.fixture
def load(emulator):
    rm = pyvisa.ResourceManager("@py")
    inst = rm.open_resource(f"TCPIP::127.0.0.1::{emulator}::SOCKET",
                            read_termination="\n", write_termination="\n", timeout=2000)
    yield inst
    inst.close()
    rm.close()


def test_identity(load):
    words = load.query("*IDN?").split()
    assert words == ["QVX", "M2", "LOAD", "1.05"]


def test_setting_and_measurement(load):
    load.write("CC 2.5")
    load.write("SW 1")
    current = float(load.query("MCFR"))
    voltage = float(load.query("MV"))
    power = float(load.query("MW"))
    assert current == pytest.approx(2.5, rel=1e-3)
    assert voltage == pytest.approx(24 - 2.5 * 0.1, rel=1e-3)
    assert power == pytest.approx(voltage * current, rel=1e-3)
    assert load.query("QUES") == "0"
    assert load.query("*ESR?") == "0"  # every line was accepted

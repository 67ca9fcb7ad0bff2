"""The high layer against the emulator over loopback: identity, settings on
the wire, readings, a sweep with its records and verdict, direct I/O, VISA
errors, and sessions on several threads."""
import threading
import time

import pytest

import varnel


def test_session_against_the_emulator(emulator):
    with varnel.Load(emulator.resource, reset=True) as load:
        assert (load.instrument_manufacturer, load.instrument_model) == ("Pellucor", "QVX M1")
        assert load.instrument_firmware_revision == "1.05" and load.firmware_version == "1.05"
        assert load.serial_number == "QVX0012345" and load.ip_address == "127.0.0.1"
        assert load.simulate is False and load.system_io_session != 0
        load.current_range = varnel.CurrentRange.HIGH
        load.constant_current = 2.5
        load.load_enabled = True
        assert load.measure_current() == pytest.approx(2.5, rel=1e-3)
        assert load.measure_voltage() == pytest.approx(12 - 2.5 * 0.25, rel=1e-3)
        assert load.measure_power() == pytest.approx(2.5 * (12 - 2.5 * 0.25), rel=2e-3)
        assert load.questionable_condition_register == 0
        # 11 V at 4 A, 10.75 V at 5 A: the sweep ends at its sixth step.
        steps = load.current_sweep(0, 5, 20, 11, 6, limits=(4.0, 6.0))
        assert [s.step for s in steps] == [1, 2, 3, 4, 5, 6]
        assert [s.level for s in steps] == pytest.approx([0, 1, 2, 3, 4, 5])
        assert steps[-1].voltage < 11 <= steps[-2].voltage
        for s in steps:
            assert s.current == pytest.approx(s.level, abs=1e-3)
            assert s.power == pytest.approx(s.voltage * s.current, rel=2e-3, abs=1e-3)
        assert load.current_sweep_end_step_count == 6
        assert load.current_sweep_step(7) is None
        verdict = load.current_sweep_verdict()
        assert verdict.passed and verdict.value == pytest.approx(5, rel=1e-3)
        assert load.raw.query("*IDN?") == "QVX M1 LOAD 1.05"
        assert load.raw.write(b"CC 1\n") == 5
        load.raw.write("MC 0\n")
        assert float(load.raw.read(4)) == pytest.approx(1.0, abs=0.02)  # four bytes; the rest is discarded
        assert load.raw.query("*ESR?") == "0"
    transcript = emulator.stop()
    for line in ("< INI", "< RC 1", "< CC 2.5", "< SW 1", "< SWCSET 0,5,20,11,6", "< SWCTSET 4,6", "< SWCSTART"):
        assert line in transcript, line
    assert ", 0 ignored" in transcript


def test_power_and_conductance_sweeps(emulator):
    with varnel.Load(emulator.resource, reset=True) as load:
        steps = load.power_sweep(10, 50, 10, 0, 5)
        assert [s.level for s in steps] == pytest.approx([10, 20, 30, 40, 50])
        assert steps[-1].power == pytest.approx(50, rel=1e-2)
        load.configure_fine_conductance_sweep(0, 10)
        steps = load.conductance_sweep(0.1, 0.5, 10, 0, 3)
        assert [s.step for s in steps] == [1, 2, 3]
        assert steps[2].current == pytest.approx(12 / (0.25 + 1 / 0.5), rel=1e-2)


def test_visa_errors_pass_through_with_their_text(start_emulator):
    emulator = start_emulator("--fail-no-reply", "MV")
    with varnel.Load(emulator.resource) as load:
        load.system_io_timeout = 300
        assert load.system_io_timeout == 300
        with pytest.raises(varnel.VarnelIOError) as info:
            load.measure_voltage()
        assert info.value.code < 0 and info.value.name == "VI_ERROR_TMO" and info.value.text
        assert load.measure_current() >= 0  # the session goes on


def test_failed_initialization_names_the_reason(start_emulator):
    emulator = start_emulator()
    resource = emulator.resource
    emulator.stop()
    with pytest.raises(varnel.VarnelIOError) as info:
        varnel.Load(resource)
    assert info.value.code < 0 and info.value.text


def test_two_threads_on_two_sessions_run_in_parallel(start_emulator):
    # Every reply waits 50 ms: ten queries on each of two sessions take about
    # 0.5 s side by side, 1 s one after the other.
    emulator = start_emulator("--latency", "50")
    loads = [varnel.Load(emulator.resource, id_query=False) for _ in range(2)]
    failures = []
    results = [[], []]

    def work(n):
        try:
            loads[n].constant_current = float(n + 1)
            for _ in range(10):
                results[n].append(loads[n].measure_voltage())
        except Exception as e:  # reported below
            failures.append(e)

    try:
        threads = [threading.Thread(target=work, args=(n,)) for n in range(2)]
        start = time.monotonic()
        for t in threads:
            t.start()
        for t in threads:
            t.join(30)
        elapsed = time.monotonic() - start
    finally:
        for load in loads:
            load.close()
    assert failures == [] and [len(r) for r in results] == [10, 10]
    assert elapsed < 0.85, f"the sessions did not run in parallel: {elapsed:.2f} s"


def test_one_load_shared_by_threads(emulator):
    with varnel.Load(emulator.resource) as load:
        failures = []

        def work():
            try:
                for _ in range(20):
                    assert load.raw.query("*IDN?") == "QVX M1 LOAD 1.05"
                    load.measure_current()
            except Exception as e:  # reported below
                failures.append(e)

        threads = [threading.Thread(target=work) for _ in range(3)]
        for t in threads:
            t.start()
        for t in threads:
            t.join(30)
        assert failures == [] and not any(t.is_alive() for t in threads)

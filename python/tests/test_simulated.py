"""A simulated session through the high layer: identity, settings,
measurements, sweeps, errors and warnings, bad input, the lock, close."""
import math
import threading
import time

import pytest

import varnel
from varnel import lowlevel as L
from varnel._library import Driver

RESOURCE = "TCPIP::192.0.2.1::5025::SOCKET"


@pytest.fixture
def load():
    with varnel.Load(RESOURCE, simulate=True, model="QVX M2") as session:
        yield session


@pytest.fixture
def calls(monkeypatch):
    """Every driver function called from now on, by name."""
    lib = varnel.library()
    made = []
    for name, function in list(lib._functions.items()):
        def spy(*args, _name=name, _function=function):
            made.append(_name)
            return _function(*args)
        monkeypatch.setitem(lib._functions, name, spy)
    return made


def test_identity(load):
    assert load.instrument_model == "QVX M2"
    assert load.instrument_manufacturer == "Pellucor"
    assert load.specific_driver_prefix == "Varnel"
    assert load.specific_driver_revision == varnel.__version__
    assert load.supported_instrument_models == "QVX M1,QVX M2,QVX M3,QVX M4"
    assert load.specific_driver_description.endswith("[Compiled for 64-bit]")
    assert load.simulate is True and load.driver_setup == "Model:QVX M2"
    assert load.revision_query()[0] == varnel.__version__
    assert load.self_test() == (0, "Selftest passed")
    assert load.error_query() == (0, "No error.")
    assert isinstance(load.specific_driver_class_spec_major_version, int)


def test_settings_measurements_and_simulated_fixed_results(load):
    load.constant_current = 2.5
    load.constant_resistance = 4
    load.current_range = varnel.CurrentRange.HIGH
    load.current_range = 2
    load.load_enabled = True
    load.noise_filter = varnel.NoiseFilter.LOW_PASS
    load.configure_time_dynamic_step(12, 1.0, 10.0, 0.5)
    load.configure_frequency_dynamic_mode(10.0, 50.0, 1.0, 2.0, 0.1, 0.1)
    load.start_dynamic_mode()
    load.abort_dynamic_mode()
    load.initialize_sequence()
    load.configure_sequence(2, 1, 0, 0)
    load.set_sequence_load_data(1, 1.5, 10.0)
    load.start_sequence()
    load.stop_sequence()
    load.set_attribute("NOISE_RATIO", 2.0)
    load.set_attribute("VARNEL_ATTR_MEASUREMENT_AVERAGING", 1)
    assert load.get_attribute("cache") is True
    load.cache = False
    assert load.cache is False
    assert load.measure_voltage() == 0.0
    assert load.measure_current_at_range(varnel.CurrentRange.LOW) == 0.0
    assert load.measure_dc_voltage() == 0.0 and load.measure_ripple_voltage(varnel.NoiseVoltageRange.RANGE3V) == 0.0
    assert load.questionable_condition_register == 0
    assert load.serial_number == "" and load.current_sweep_end_step_count == -1


def test_sweeps_run_no_step_in_simulation(load):
    assert load.current_sweep(0, 5, 20, 11, 6, limits=(1, 6)) == []
    assert load.power_sweep(0, 50, 20, 11, 6) == []
    assert load.conductance_sweep(0, 1, 20, 11, 6) == []
    assert load.current_sweep_step(1) is None and load.current_sweep_verdict() is None


@pytest.mark.parametrize("text, step", [
    ("5,8.88889,11.5557,8.88879,102.716", varnel.SweepStep(5, 8.88889, 11.5557, 8.88879, 102.716)),
    ("7,NOT RUN", None),
    ("", None),
])
def test_step_results_become_records(text, step):
    from varnel._load import _parse_step
    assert _parse_step(text) == step


@pytest.mark.parametrize("text, verdict", [("PASS,4.5", varnel.SweepVerdict(True, 4.5)),
                                           ("FAIL,0.25", varnel.SweepVerdict(False, 0.25)), ("NOT RUN", None)])
def test_verdicts_become_records(text, verdict):
    from varnel._load import _parse_verdict
    assert _parse_verdict(text) == verdict


@pytest.mark.parametrize("text", ["5,1,2,3", "x,NOT RUN", "garbage"])
def test_unexpected_instrument_text_is_an_instrument_error(text):
    from varnel._load import _parse_step
    with pytest.raises(varnel.InstrumentError) as info:
        _parse_step(text)
    assert info.value.name == "IVI_ERROR_UNEXPECTED_RESPONSE" and text in info.value.text


def test_errors_carry_code_name_and_the_drivers_text(load):
    with pytest.raises(varnel.VarnelIOError) as info:
        load.raw.write("*IDN?\n")
    e = info.value
    assert e.code == L.VARNEL_ERROR_IO_GENERAL and e.name == "VARNEL_ERROR_IO_GENERAL"
    assert e.text == "I/O error.  Direct I/O operations are not available in simulation mode."
    assert e.function == "Varnel_viWrite"
    assert str(e) == f"VARNEL_ERROR_IO_GENERAL: {e.text}"
    with pytest.raises(varnel.AttributeAccessError, match="Attribute 'VARNEL_ATTR_SERIAL_NUMBER' is read-only."):
        load._set(L.VARNEL_ATTR_SERIAL_NUMBER, "ViString", "x")
    with pytest.raises(varnel.VarnelIOError):
        load.system_io_timeout


@pytest.mark.parametrize("options, cls, text", [
    ("Simulate=1, Bogus=1", varnel.OptionError, "The 'bogus' name in the option string is unknown."),
    ("Simulate=Yes", varnel.OptionError, "The 'yes' value in the option string is unknown."),
    ("Simulate=1, Simulate=1", varnel.SessionError,
     "Failure cannot recover.  Inherent option 'simulate' appears more than once."),
])
def test_failed_initialization_raises_with_the_threads_reason(options, cls, text):
    with pytest.raises(cls) as info:
        varnel.Load(RESOURCE, options=options)
    assert info.value.text == text and info.value.function == "Varnel_InitWithOptions"


def test_a_positive_status_is_a_warning(load, monkeypatch):
    lib = varnel.library()
    monkeypatch.setitem(lib._functions, "Varnel_revision_query", lambda *args: L.IVI_WARN_NSUP_REV_QUERY)
    with pytest.warns(varnel.VarnelWarning) as record:
        load.revision_query()
    warning = record[0].message
    assert (warning.code, warning.name) == (L.IVI_WARN_NSUP_REV_QUERY, "IVI_WARN_NSUP_REV_QUERY")
    assert warning.text == "Firmware revision query is not supported by this instrument."


@pytest.mark.parametrize("action, error", [
    (lambda s: setattr(s, "constant_current", "2.5"), TypeError),
    (lambda s: setattr(s, "constant_current", math.nan), ValueError),
    (lambda s: setattr(s, "constant_current", math.inf), ValueError),
    (lambda s: setattr(s, "constant_current", True), TypeError),
    (lambda s: setattr(s, "current_range", 9), ValueError),
    (lambda s: setattr(s, "current_range", varnel.NoiseFilter.HIGH_PASS), TypeError),
    (lambda s: setattr(s, "current_range", 1.0), TypeError),
    (lambda s: setattr(s, "load_enabled", 1), TypeError),
    (lambda s: setattr(s, "system_io_timeout", 1 << 31), ValueError),
    (lambda s: s.measure_current_at_range(None), TypeError),
    (lambda s: s.measure_dc_voltage(7), ValueError),
    (lambda s: s.configure_time_dynamic_step(17, 1.0, 1.0), ValueError),
    (lambda s: s.configure_sequence(1, 1, 0, "0"), TypeError),
    (lambda s: s.current_sweep(0, 5, 20, 11, 6.0), TypeError),
    (lambda s: s.current_sweep(0, 5, 20, 11, 6, timeout=0), ValueError),
    (lambda s: s.conductance_sweep_step(0), ValueError),
    (lambda s: s.raw.write(None), TypeError),
    (lambda s: s.raw.write("caf\u00e9"), ValueError),
    (lambda s: s.raw.read(0), ValueError),
    (lambda s: s.set_attribute("no_such_setting", 1), ValueError),
    (lambda s: s.set_attribute("serial_number", "x"), AttributeError),
    (lambda s: s.constant_current, AttributeError),
    (lambda s: s.get_attribute("load_enabled"), AttributeError),
])
def test_bad_input_is_refused_before_any_library_call(load, calls, action, error):
    with pytest.raises(error):
        action(load)
    assert calls == []


@pytest.mark.parametrize("kwargs, error", [
    ({"resource": None}, TypeError),
    ({"resource": b"TCPIP::x"}, TypeError),
    ({"resource": "TCPIP::\0x"}, ValueError),
    ({"resource": RESOURCE, "options": None}, TypeError),
    ({"resource": RESOURCE, "simulate": 1}, TypeError),
    ({"resource": RESOURCE, "model": "QVX M2, Trace:1"}, ValueError),
    ({"resource": RESOURCE, "model": 2}, TypeError),
])
def test_bad_arguments_of_a_load_open_no_session(calls, kwargs, error):
    resource = kwargs.pop("resource")
    with pytest.raises(error):
        varnel.Load(resource, **kwargs)
    assert calls == []


@pytest.mark.parametrize("options, simulate, model, expected", [
    ("", True, None, "Simulate=1"),
    ("Cache=0", True, "QVX M3", "Simulate=1, Cache=0, DriverSetup=Model:QVX M3"),
    ("RangeCheck=0, DriverSetup=Trace:1", False, "QVX M4", "RangeCheck=0, DriverSetup=Trace:1, Model:QVX M4"),
])
def test_option_string(options, simulate, model, expected):
    assert varnel.Load._option_string(options, simulate, model) == expected


def test_a_closed_load_never_passes_its_handle(calls):
    session = varnel.Load(RESOURCE, simulate=True)
    session.close()
    session.close()
    made = list(calls)
    assert made == ["Varnel_InitWithOptions", "Varnel_close"]
    for action in (lambda: session.measure_voltage(), lambda: session.serial_number,
                   lambda: setattr(session, "constant_current", 1.0), lambda: session.raw.write("x"),
                   lambda: session.handle, lambda: session.locked().__enter__(), lambda: session.error_message(0)):
        with pytest.raises(varnel.SessionClosedError, match="closed"):
            action()
    assert calls == made and session.closed and "closed" in repr(session)


def test_locked_holds_other_threads_off(load):
    done = threading.Event()

    def other():
        load.measure_voltage()
        done.set()

    with load.locked():
        with load.locked():  # recursive on one thread
            thread = threading.Thread(target=other)
            thread.start()
            assert not done.wait(0.3)
    assert done.wait(10)
    thread.join(10)


def test_close_on_the_thread_that_holds_the_lock_lets_other_threads_finish():
    session = varnel.Load(RESOURCE, simulate=True)
    failures = []

    def other():
        try:
            session.measure_voltage()
        except varnel.SessionClosedError:
            pass
        except Exception as e:  # pragma: no cover - reported below
            failures.append(e)

    with session.locked():
        thread = threading.Thread(target=other)
        thread.start()
        time.sleep(0.1)
        session.close()
    thread.join(10)
    assert not thread.is_alive() and failures == []


def test_missing_functions_are_named(tmp_path):
    lib = varnel.library()
    partial = Driver.__new__(Driver)
    partial.path, partial.missing, partial._functions = lib.path, ["Varnel_viRead"], {}
    with pytest.raises(NotImplementedError, match=f"{lib.path} does not export Varnel_viRead"):
        partial.Varnel_viRead

#!/usr/bin/python3
"""Runs a current sweep on a load and draws its I-V curve with matplotlib.

Without --resource it starts the emulator (build/64/bin/varnel-emulator, or
the program named by VARNEL_EMULATOR, or varnel-emulator on PATH) on a free
loopback port, with a 12 V source behind 0.25 ohm, and stops it afterwards.

    /usr/bin/python3 examples/sweep_plot.py [--resource RESOURCE] [--out sweep.png]

The sweep draws 0 to 30 A in 31 steps of 20 ms and ends at the first step
whose voltage falls below the threshold (6 V): the point where the source
collapses. The picture shows the voltage and the power against the current."""
from __future__ import annotations

import argparse
import os
import select
import shutil
import subprocess
import sys
from typing import List, Optional, Tuple

HERE = os.path.dirname(os.path.abspath(__file__))
CHECKOUT = os.path.dirname(HERE)
try:
    import varnel
except ImportError:  # run from a checkout without the package installed
    sys.path.insert(0, os.path.join(CHECKOUT, "python"))
    import varnel

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402 - after choosing the back end

START, STOP, DWELL_MS, THRESHOLD_V, STEPS = 0.0, 30.0, 20.0, 6.0, 31


def emulator_program() -> str:
    for candidate in (os.environ.get("VARNEL_EMULATOR"), os.path.join(CHECKOUT, "build", "64", "bin", "varnel-emulator"),
                      shutil.which("varnel-emulator")):
        if candidate and os.access(candidate, os.X_OK):
            return candidate
    raise SystemExit("no varnel-emulator found: build the project, set VARNEL_EMULATOR or give --resource")


def start_emulator() -> Tuple[subprocess.Popen, int]:
    """The emulator on a free loopback port, and that port."""
    proc = subprocess.Popen([emulator_program(), "--port", "0", "--source-voltage", "12",
                             "--source-resistance", "0.25"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    ready, _, _ = select.select([proc.stdout], [], [], 10)
    line = proc.stdout.readline().strip() if ready else ""
    if not line.startswith("listening 127.0.0.1:"):
        stop_emulator(proc)
        raise SystemExit(f"the emulator did not start: {line!r}")
    return proc, int(line.rsplit(":", 1)[1])


def stop_emulator(proc: subprocess.Popen) -> None:
    proc.terminate()
    try:
        proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def sweep(resource: str) -> Tuple[List[varnel.SweepStep], Optional[varnel.SweepVerdict]]:
    with varnel.Load(resource, reset=True) as load:
        steps = load.current_sweep(START, STOP, DWELL_MS, THRESHOLD_V, STEPS, limits=(20.0, 28.0))
        return steps, load.current_sweep_verdict()


def plot(steps: List[varnel.SweepStep], verdict: Optional[varnel.SweepVerdict], out: str) -> None:
    current = [s.current for s in steps]
    fig, volts = plt.subplots(figsize=(7, 4.2), dpi=100)
    volts.plot(current, [s.voltage for s in steps], "o-", color="tab:blue", label="voltage")
    volts.axhline(THRESHOLD_V, color="tab:blue", linestyle=":", linewidth=1, label=f"threshold {THRESHOLD_V:g} V")
    volts.set_xlabel("current (A)")
    volts.set_ylabel("voltage (V)", color="tab:blue")
    volts.set_ylim(bottom=0)
    watts = volts.twinx()
    watts.plot(current, [s.power for s in steps], "s--", color="tab:red", markersize=4, label="power")
    watts.set_ylabel("power (W)", color="tab:red")
    watts.set_ylim(bottom=0)
    title = f"Current sweep: ended at step {steps[-1].step}" if steps else "Current sweep: no step ran"
    if verdict is not None:
        title += f", {'PASS' if verdict.passed else 'FAIL'} at {verdict.value:.3g} A"
    volts.set_title(title)
    lines = volts.get_legend_handles_labels()
    more = watts.get_legend_handles_labels()
    volts.legend(lines[0] + more[0], lines[1] + more[1], loc="lower left")
    volts.grid(True, alpha=0.3)
    fig.tight_layout()
    fig.savefig(out)
    plt.close(fig)


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--resource", help="the load's VISA resource (default: start the emulator)")
    parser.add_argument("--out", default="sweep.png", help="PNG file to write (default: sweep.png)")
    args = parser.parse_args()
    proc = None
    resource = args.resource
    if resource is None:
        proc, port = start_emulator()
        resource = f"TCPIP::127.0.0.1::{port}::SOCKET"
    try:
        steps, verdict = sweep(resource)
    finally:
        if proc is not None:
            stop_emulator(proc)
    plot(steps, verdict, args.out)
    for s in steps:
        print(f"{s.step:3d} {s.current:8.3f} A {s.voltage:8.3f} V {s.power:8.2f} W")
    print(f"wrote {args.out}")
    return 0


if __name__ == "__main__":
    sys.exit(main())

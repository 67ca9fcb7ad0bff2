"""Starts varnel-emulator (named by VARNEL_EMULATOR) on a free loopback port
and stops it by its own process id."""
import os
import select
import subprocess


def start(*args):
    """The running emulator and its port."""
    proc = subprocess.Popen([os.environ["VARNEL_EMULATOR"], "--port", "0", *args],
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    ready, _, _ = select.select([proc.stdout], [], [], 10)
    first = proc.stdout.readline().strip() if ready else ""
    if not first.startswith("listening 127.0.0.1:"):
        stop(proc)
        raise RuntimeError(f"the emulator printed no listening line: {first!r}")
    return proc, int(first.rsplit(":", 1)[1])


def stop(proc):
    """Sends SIGTERM to the emulator and returns its standard error."""
    proc.terminate()
    try:
        return proc.communicate(timeout=10)[1]
    except subprocess.TimeoutExpired:
        proc.kill()
        return proc.communicate()[1]

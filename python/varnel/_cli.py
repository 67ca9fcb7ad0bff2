"""The varnel command: identity, readings, settings and an interactive shell
for one load, through the driver."""
from __future__ import annotations

import argparse
import os
import sys
import time
from typing import IO, List, Optional

from . import _lowlevel as L
from ._attributes import PROPERTY_NAMES
from ._errors import VarnelError
from ._library import LibraryNotFoundError
from ._load import Load

# Instrument commands that answer without a question mark in their word.
QUERY_WORDS = {"MV", "MD", "MCFR", "MC", "BMC", "MW", "BMW", "MN", "MR", "MP", "QUES", "V", "CALSRALG",
               "SWCRESSTP", "SWPRESSTP", "SWRRESSTP", "SWCRES", "SWPRES", "SWRRES", "SWCTRES", "SWPTRES"}
SIMULATED_RESOURCE = "SIMULATED"
HISTORY_FILE = os.path.join(os.path.expanduser("~"), ".varnel_history")

DESCRIPTION = """\
Talk to a QVX electronic load through the Varnel driver.

RESOURCE is the load's VISA resource, e.g. TCPIP::192.0.2.5::5025::SOCKET
(the emulator: build/64/bin/varnel-emulator --port 0 prints its port), or a
logical name of the IVI configuration store. With --simulate no load is
needed and RESOURCE may be left out. Every command takes --simulate,
--options, --model, --no-id-query and --reset."""

EXAMPLES = """\
examples:
  varnel info TCPIP::192.0.2.5::5025::SOCKET
  varnel measure TCPIP::192.0.2.5::5025::SOCKET --every 0.5 --count 20
  varnel set TCPIP::192.0.2.5::5025::SOCKET constant_current 2.5
  varnel set TCPIP::192.0.2.5::5025::SOCKET load_enabled on
  varnel shell TCPIP::192.0.2.5::5025::SOCKET
  varnel info --simulate --model "QVX M3"

'varnel COMMAND --help' tells more about each command."""


class UsageError(Exception):
    """A bad command line: reported with exit status 2, no session opened."""


def settings() -> List[str]:
    """The property names of the write-only settings, for `set`."""
    return sorted(PROPERTY_NAMES[a.id] for a in L.ATTRIBUTES.values() if a.access == "W")


def parser() -> argparse.ArgumentParser:
    common = argparse.ArgumentParser(add_help=False)
    common.add_argument("--simulate", action="store_true", help="run in simulation, without a load")
    common.add_argument("--options", default="", metavar="TEXT",
                        help='driver option string, e.g. "Cache=0, QueryInstrStatus=1"')
    common.add_argument("--model", help='model in simulation, e.g. "QVX M2"')
    common.add_argument("--no-id-query", dest="id_query", action="store_false",
                        help="do not check that the instrument is a QVX load")
    common.add_argument("--reset", action="store_true", help="reset the load when opening the session")

    top = argparse.ArgumentParser(prog="varnel", description=DESCRIPTION, epilog=EXAMPLES,
                                  formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = top.add_subparsers(dest="command", metavar="COMMAND", required=True)

    def command(name: str, help_text: str, epilog: Optional[str] = None) -> argparse.ArgumentParser:
        sub = commands.add_parser(name, parents=[common], help=help_text, description=help_text, epilog=epilog,
                                  formatter_class=argparse.RawDescriptionHelpFormatter)
        sub.add_argument("resource", nargs="?", metavar="RESOURCE", help="VISA resource or logical name")
        return sub

    command("info", "show the load's identity, the driver and firmware revisions and the supported models")
    measure = command("measure", "read voltage, current and power once, or every SECONDS for COUNT rows")
    measure.add_argument("--every", type=float, metavar="SECONDS", help="read repeatedly, this far apart")
    measure.add_argument("--count", type=int, default=10, metavar="N", help="rows to print with --every (default 10)")
    setting = command("set", "write one setting by its attribute name",
                      "values: numbers for levels (A, W, ohm, V, ms), on/off for switches, and a\n"
                      "defined value's name or number for choices (current_range HIGH).\n\n"
                      "settings:\n" + "\n".join(f"  {name}" for name in settings()))
    setting.add_argument("name", metavar="NAME", help="attribute name, e.g. constant_current or CONSTANT_CURRENT")
    setting.add_argument("value", metavar="VALUE", help="the value")
    command("shell", "an interactive session: each line goes to the load as it is typed",
            "Lines are sent with a line feed; for a query (a word with '?' or one of the\n"
            "load's reading commands such as MV, MC 0, QUES) the reply is printed.\n"
            "Shell commands: :read reads a reply, :help, :quit (or end of input).")
    return top


def open_load(args: argparse.Namespace) -> Load:
    resource = args.resource
    if resource is None:
        if not args.simulate:
            raise UsageError("RESOURCE is needed unless --simulate is given")
        resource = SIMULATED_RESOURCE
    return Load(resource, id_query=args.id_query, reset=args.reset, simulate=args.simulate, model=args.model,
                options=args.options)


def cmd_info(load: Load, args: argparse.Namespace, out: IO[str]) -> int:
    rows = [
        ("resource", load.io_resource_descriptor),
        ("instrument", f"{load.instrument_manufacturer} {load.instrument_model}"),
        ("firmware", load.instrument_firmware_revision),
        ("driver", f"{load.specific_driver_prefix} {load.specific_driver_revision}, "
                   f"{load.specific_driver_description}"),
        ("models", load.supported_instrument_models),
        ("simulated", "yes" if load.simulate else "no"),
    ]
    for name, value in rows:
        print(f"{name:<11} {value}", file=out)
    return 0


def cmd_measure(load: Load, args: argparse.Namespace, out: IO[str]) -> int:
    if args.every is None:
        for name, value, unit in (("voltage", load.measure_voltage(), "V"), ("current", load.measure_current(), "A"),
                                  ("power", load.measure_power(), "W")):
            print(f"{name:<8} {value:12.6g} {unit}", file=out)
        return 0
    if not args.every > 0:
        raise UsageError("--every needs a positive number of seconds")
    if args.count < 1:
        raise UsageError("--count needs at least 1")
    print(f"{'time_s':>8} {'voltage_V':>12} {'current_A':>12} {'power_W':>12}", file=out)
    start = time.monotonic()
    for row in range(args.count):
        if row:
            time.sleep(max(0.0, start + row * args.every - time.monotonic()))
        elapsed = time.monotonic() - start
        print(f"{elapsed:8.3f} {load.measure_voltage():12.6g} {load.measure_current():12.6g} "
              f"{load.measure_power():12.6g}", file=out, flush=True)
    return 0


def parse_value(name: str, text: str) -> object:
    info = Load.attribute(name)
    if info.access != "W":
        raise UsageError(f"{name} is not a write-only setting (see 'varnel set --help')")
    enum = L.ATTRIBUTE_ENUMS.get(info.name)
    if info.type == "ViBoolean":
        words = {"on": True, "off": False, "true": True, "false": False, "1": True, "0": False}
        if text.lower() not in words:
            raise UsageError(f"{name} takes on or off, not {text!r}")
        return words[text.lower()]
    if enum is not None:
        for member in enum:
            if text.upper() == member.name or text == str(member.value):
                return member
        choices = ", ".join(f"{m.name} ({m.value})" for m in enum)
        raise UsageError(f"{name} takes one of {choices}; not {text!r}")
    try:
        return float(text) if info.type == "ViReal64" else int(text, 0)
    except ValueError:
        raise UsageError(f"{name} takes a number, not {text!r}") from None


def cmd_set(load: Load, args: argparse.Namespace, out: IO[str]) -> int:
    value = parse_value(args.name, args.value)
    load.set_attribute(args.name, value)
    shown = value.name if hasattr(value, "name") else value
    print(f"{PROPERTY_NAMES[Load.attribute(args.name).id]} = {shown}", file=out)
    return 0


def is_query(line: str) -> bool:
    word = line.split()[0].upper() if line.split() else ""
    return "?" in word or word in QUERY_WORDS


def cmd_shell(load: Load, args: argparse.Namespace, out: IO[str]) -> int:
    interactive = sys.stdin.isatty()
    readline = None
    if interactive:
        try:
            import readline  # noqa: F401 - gives input() editing and history
            try:
                readline.read_history_file(HISTORY_FILE)
            except OSError:
                pass
        except ImportError:
            readline = None
        print(f"varnel shell on {load.io_resource_descriptor}; :help for help, :quit or Ctrl-D to leave",
              file=out)
    failures = 0
    try:
        while True:
            try:
                line = input("varnel> " if interactive else "")
            except EOFError:
                break
            except KeyboardInterrupt:
                print(file=out)
                continue
            line = line.strip()
            if not line:
                continue
            if line in (":quit", ":exit", ":q"):
                break
            try:
                if line == ":help":
                    print("Lines go to the load with a line feed; a query's reply is printed.\n"
                          ":read reads a reply, :quit leaves.", file=out)
                elif line == ":read":
                    print(load.raw.read().decode("latin-1").rstrip("\r\n"), file=out)
                elif is_query(line):
                    print(load.raw.query(line), file=out)
                else:
                    load.raw.write(line + "\n")
            except VarnelError as e:
                failures += 1
                print(f"error: {e}", file=sys.stderr)
            out.flush()
    finally:
        if readline is not None:
            try:
                readline.write_history_file(HISTORY_FILE)
            except OSError:
                pass
    return 1 if failures else 0


COMMANDS = {"info": cmd_info, "measure": cmd_measure, "set": cmd_set, "shell": cmd_shell}


def main(argv: Optional[List[str]] = None) -> int:
    args = parser().parse_args(argv)
    out = sys.stdout
    try:
        if args.command == "set":
            parse_value(args.name, args.value)  # a bad name or value opens no session
        with open_load(args) as load:
            return COMMANDS[args.command](load, args, out)
    except VarnelError as e:
        print(f"varnel: error: {e}", file=sys.stderr)
        return 1
    except (UsageError, ValueError, TypeError) as e:
        print(f"varnel: error: {e}", file=sys.stderr)
        return 2
    except NotImplementedError as e:
        print(f"varnel: error: {e}", file=sys.stderr)
        return 1
    except LibraryNotFoundError as e:
        print(f"varnel: {e}", file=sys.stderr)
        return 2
    except KeyboardInterrupt:
        return 130

#!/usr/bin/env python3
"""Writes the generated modules of the varnel package from include/Varnel.h:

  varnel/_lowlevel.py    every function with its argtypes and restype, every
                         attribute identifier, defined value and status code,
                         the value maps as IntEnum classes
  varnel/_attributes.py  a mixin of typed properties, one per attribute

    generate.py [--header FILE] [--out DIR]   (default: the checkout's header
                                               and python/varnel/)

The header is the one source: the tests regenerate both modules and fail when
a checked-in file differs, so the binding cannot drift from the driver."""
from __future__ import annotations

import argparse
import keyword
import os
import re
import sys
from typing import Dict, List, NamedTuple, Optional, Tuple

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_HEADER = os.path.join(HERE, "..", "..", "include", "Varnel.h")
DEFAULT_OUT = os.path.join(HERE, "..", "varnel")

# The VISA types of the header as ctypes spellings. Text and byte buffers pass
# as char pointers: the callers hand in bytes or a ctypes character array.
SCALARS = {
    "ViStatus": "c_int32", "ViInt16": "c_int16", "ViInt32": "c_int32", "ViInt64": "c_int64",
    "ViUInt32": "c_uint32", "ViSession": "c_uint32", "ViAttr": "c_uint32", "ViBoolean": "c_uint16",
    "ViReal64": "c_double", "ViChar": "c_char", "ViByte": "c_ubyte",
}
STRINGS = {"ViRsrc": "c_char_p", "ViConstString": "c_char_p", "ViString": "c_char_p",
           "ViConstBuf": "c_char_p"}

# Value type of an attribute as Python sees it.
PYTHON_TYPES = {"ViBoolean": "bool", "ViInt32": "int", "ViReal64": "float", "ViString": "str",
                "ViSession": "int"}


class Attribute(NamedTuple):
    name: str        # VARNEL_ATTR_... without the prefix
    ident: int
    vtype: str       # ViInt32, ViReal64, ...
    access: str      # R, W or R/W
    unit: Optional[str]


class Parameter(NamedTuple):
    name: str
    ctype: str       # ctypes spelling
    ctext: str       # as the header writes it


class Function(NamedTuple):
    name: str
    params: List[Parameter]
    doc: str


class ValueMap(NamedTuple):
    prefix: str                      # common part of the VARNEL_VAL_ names
    users: List[str]                 # attribute macros and functions named above the block
    values: List[Tuple[str, int]]    # member name, value


class Status(NamedTuple):
    name: str
    code: int        # signed
    doc: Optional[str]


class Header(NamedTuple):
    bases: Dict[str, int]
    attributes: List[Attribute]
    value_maps: List[ValueMap]
    statuses: List[Status]
    functions: List[Function]


def signed32(value: int) -> int:
    return value - (1 << 32) if value & 0x80000000 else value


def parse(text: str) -> Header:
    bases: Dict[str, int] = {}
    for name, value in re.findall(r"#define\s+(IVI_\w+_ATTR_BASE)\s+(\d+)", text):
        bases[name] = int(value)

    attributes = []
    attr_re = re.compile(r"#define\s+VARNEL_ATTR_(\w+)\s+\((IVI_\w+_ATTR_BASE)\s*\+\s*(\d+)\)\s*"
                         r"/\*\s*(Vi\w+)\s+(R/W|R|W)(?:,\s*([^*]+?))?\s*\*/")
    for name, base, offset, vtype, access, unit in attr_re.findall(text):
        attributes.append(Attribute(name, bases[base] + int(offset), vtype, access, unit or None))

    # Defined values come in blocks under a comment naming what uses them.
    value_maps = []
    block_re = re.compile(r"/\*\s*((?:VARNEL_ATTR_\w+|Varnel_\w+)(?:\s*,\s*(?:VARNEL_ATTR_\w+|Varnel_\w+))*)\s*\*/\s*\n"
                          r"((?:#define\s+VARNEL_VAL_\w+\s+-?\d+\s*\n)+)")
    for users, body in block_re.findall(text):
        values = [(n, int(v)) for n, v in re.findall(r"#define\s+VARNEL_VAL_(\w+)\s+(-?\d+)", body)]
        prefix = common_prefix([n for n, _ in values])
        members = [(n[len(prefix) + 1:] if prefix else n, v) for n, v in values]
        value_maps.append(ValueMap(prefix, [u.strip() for u in users.split(",")], members))

    statuses = []
    status_re = re.compile(r"#define\s+((?:VARNEL|IVI)_(?:ERROR|WARN)_\w+)\s+\(\(ViStatus\)(0x[0-9A-Fa-f]+)\)"
                           r"(?:\s*/\*\s*(.*?)\s*\*/)?")
    for name, code, doc in status_re.findall(text):
        statuses.append(Status(name, signed32(int(code, 16)), doc or None))

    functions = []
    func_re = re.compile(r"/\*\s*((?:(?!\*/).)*?)\s*\*/\s*\nViStatus\s+_VI_FUNC\s+(Varnel_\w+)\s*\(([^)]*)\)\s*;", re.S)
    for doc, name, params in func_re.findall(text):
        functions.append(Function(name, [parameter(p, name) for p in params.split(",")],
                                  " ".join(doc.split())))
    # Every declaration must have been understood.
    for what, pattern, found in (
            ("attribute", r"#define\s+VARNEL_ATTR_\w+\s", len(attributes)),
            ("defined value", r"#define\s+VARNEL_VAL_\w+\s", sum(len(v.values) for v in value_maps)),
            ("status code", r"#define\s+(?:VARNEL|IVI)_(?:ERROR|WARN)_\w+\s", len(statuses)),
            ("function", r"ViStatus\s+_VI_FUNC\s", len(functions))):
        declared = len(re.findall(pattern, text))
        if declared != found:
            raise SystemExit(f"the header declares {declared} {what}s, the generator read {found}")
    return Header(bases, attributes, value_maps, statuses, functions)


def common_prefix(names: List[str]) -> str:
    words = [n.split("_") for n in names]
    prefix: List[str] = []
    for column in zip(*words):
        if len(set(column)) != 1:
            break
        prefix.append(column[0])
    if len(prefix) == min(len(w) for w in words):  # keep a word for every member
        prefix.pop()
    return "_".join(prefix)


def parameter(text: str, function: str) -> Parameter:
    text = " ".join(text.split())
    m = re.fullmatch(r"(Vi\w+)\s*(\*?)\s*(\w+)\s*(\[\d*\])?", text)
    if not m:
        raise SystemExit(f"{function}: cannot read the parameter '{text}'")
    vtype, pointer, name, array = m.groups()
    if vtype in STRINGS and not pointer and not array:
        ctype = STRINGS[vtype]
    elif vtype in ("ViChar", "ViByte") and array:
        ctype = "c_char_p"
    elif vtype in SCALARS and pointer and not array:
        ctype = f"POINTER({SCALARS[vtype]})"
    elif vtype in SCALARS and not pointer and not array:
        ctype = SCALARS[vtype]
    else:
        raise SystemExit(f"{function}: no ctypes type for the parameter '{text}'")
    return Parameter(name, ctype, text)


def camel(name: str) -> str:
    return "".join(word.capitalize() for word in name.split("_"))


def enum_class_name(prefix: str) -> str:
    words = prefix.split("_")
    return "".join(w if w == "DC" else w.capitalize() for w in words)


def member_name(name: str) -> str:
    if name[0].isdigit() or keyword.iskeyword(name):
        return "_" + name
    return name


def attribute_doc(attr: Attribute, functions: Dict[str, Function]) -> str:
    """The one-line comment of the attribute's named function, else its header line."""
    verb = "Set" if attr.access == "W" else "Get"
    function = functions.get(f"Varnel_{verb}{camel(attr.name)}")
    access = {"R": "read-only", "W": "write-only", "R/W": "read and write"}[attr.access]
    base = function.doc if function else f"{attr.name.replace('_', ' ').capitalize()}."
    unit = f", {attr.unit}" if attr.unit else ""
    return f"{base} ({attr.vtype}, {access}{unit}; VARNEL_ATTR_{attr.name}.)"


def render_lowlevel(header: Header, source: str) -> str:
    out: List[str] = []
    w = out.append
    w(f'"""The driver\'s C interface for ctypes, generated by python/tools/generate.py from')
    w(f'{source}: do not edit; run the generator after changing the header."""')
    used = sorted({t for f in header.functions for p in f.params
                   for t in re.findall(r"c_\w+|POINTER", p.ctype)} | {"c_int32"})
    w(f"from ctypes import {', '.join(used)}")
    w("from enum import IntEnum")
    w("from typing import Any, Dict, NamedTuple, Optional, Tuple")
    w("")
    for name, value in sorted(header.bases.items()):
        w(f"{name} = {value}")
    w("")
    w("# Attribute identifiers")
    for a in header.attributes:
        w(f"VARNEL_ATTR_{a.name} = {a.ident}")
    w("")
    w("")
    w("class AttributeInfo(NamedTuple):")
    w('    """One attribute of the header: identifier, value type, access (R, W, R/W), unit."""')
    w("    name: str")
    w("    id: int")
    w("    type: str")
    w("    access: str")
    w("    unit: Optional[str]")
    w("")
    w("")
    w("ATTRIBUTES: Dict[str, AttributeInfo] = {")
    for a in header.attributes:
        w(f"    {('VARNEL_ATTR_' + a.name)!r}: AttributeInfo({('VARNEL_ATTR_' + a.name)!r}, {a.ident}, "
          f"{a.vtype!r}, {a.access!r}, {a.unit!r}),")
    w("}")
    w("")
    w("# Defined values")
    for vm in header.value_maps:
        for n, v in vm.values:
            full = f"{vm.prefix}_{n}" if vm.prefix else n
            w(f"VARNEL_VAL_{full} = {v}")
    w("")
    for vm in header.value_maps:
        cls = enum_class_name(vm.prefix)
        w("")
        w(f"class {cls}(IntEnum):")
        w(f'    """VARNEL_VAL_{vm.prefix}_*: {", ".join(vm.users)}."""')
        for n, v in vm.values:
            w(f"    {member_name(n)} = {v}")
    w("")
    w("")
    w("# The value map of each attribute and function parameter that takes defined values.")
    w("ATTRIBUTE_ENUMS: Dict[str, Any] = {")
    for vm in header.value_maps:
        for user in vm.users:
            if user.startswith("VARNEL_ATTR_"):
                w(f"    {user!r}: {enum_class_name(vm.prefix)},")
    w("}")
    w("FUNCTION_ENUMS: Dict[str, Any] = {")
    for vm in header.value_maps:
        for user in vm.users:
            if user.startswith("Varnel_"):
                w(f"    {user!r}: {enum_class_name(vm.prefix)},")
    w("}")
    w("")
    w("# Status codes (signed, as a ViStatus)")
    for s in header.statuses:
        comment = f"  # {s.doc}" if s.doc else ""
        w(f"{s.name} = {s.code}{comment}")
    w("")
    w("STATUS_NAMES: Dict[int, str] = {")
    for s in header.statuses:
        w(f"    {s.name}: {s.name!r},")
    w("}")
    w("")
    w("")
    w("class FunctionInfo(NamedTuple):")
    w('    """One exported function: its ctypes argument types, parameter names and comment."""')
    w("    argtypes: Tuple[Any, ...]")
    w("    params: Tuple[str, ...]")
    w("    doc: str")
    w("")
    w("")
    w("# Every exported function; all return a ViStatus (c_int32).")
    w("RESTYPE = c_int32")
    w("FUNCTIONS: Dict[str, FunctionInfo] = {")
    for f in header.functions:
        argtypes = ", ".join(p.ctype for p in f.params)
        names = ", ".join(repr(p.name) for p in f.params)
        w(f"    {f.name!r}: FunctionInfo(")
        w(f"        ({argtypes},),")
        w(f"        ({names},),")
        w(f"        {f.doc!r}),")
    w("}")
    return "\n".join(out) + "\n"


def render_attributes(header: Header, source: str) -> str:
    functions = {f.name: f for f in header.functions}
    enums = {}
    for vm in header.value_maps:
        for user in vm.users:
            if user.startswith("VARNEL_ATTR_"):
                enums[user] = enum_class_name(vm.prefix)
    used = sorted(set(enums.values()))
    out: List[str] = []
    w = out.append
    w(f'"""Typed properties of a Load, one per attribute, generated by python/tools/generate.py')
    w(f'from {source}: do not edit; run the generator after changing the header."""')
    w("from typing import NoReturn, Union")
    w("")
    w("from . import _lowlevel as L")
    w(f"from ._lowlevel import {', '.join(used)}")
    w("")
    w("")
    w("class AttributeProperties:")
    w('    """Properties for every attribute; the Load class supplies _get and _set."""')
    w("")
    w("    def _get(self, attribute: int, vtype: str) -> object:  # pragma: no cover - Load overrides")
    w("        raise NotImplementedError")
    w("")
    w("    def _set(self, attribute: int, vtype: str, value: object, enum: object = None) -> None:  # pragma: no cover")
    w("        raise NotImplementedError")
    w("")
    w("    def _write_only(self, name: str) -> NoReturn:  # pragma: no cover - Load overrides")
    w("        raise NotImplementedError")
    for a in header.attributes:
        macro = f"VARNEL_ATTR_{a.name}"
        prop = a.name.lower()
        enum = enums.get(macro)
        ptype = PYTHON_TYPES[a.vtype]
        gtype = enum if (enum and a.access != "W") else ptype
        stype = f"Union[{enum}, int]" if enum else ("float" if ptype == "float" else ptype)
        doc = attribute_doc(a, functions)
        w("")
        w("    @property")
        w(f"    def {prop}(self) -> {gtype}:")
        w(f"        {doc!r}")
        if a.access == "W":
            w(f"        return self._write_only({prop!r})")
        elif enum:
            w(f"        return {enum}(self._get(L.{macro}, {a.vtype!r}))")
        else:
            w(f"        return self._get(L.{macro}, {a.vtype!r})  # type: ignore[return-value]")
        if a.access != "R":
            w("")
            w(f"    @{prop}.setter")
            w(f"    def {prop}(self, value: {stype}) -> None:")
            enum_arg = f", {enum}" if enum else ""
            w(f"        self._set(L.{macro}, {a.vtype!r}, value{enum_arg})")
    w("")
    w("")
    w("# Property name of every attribute macro.")
    w("PROPERTY_NAMES = {")
    for a in header.attributes:
        w(f"    L.VARNEL_ATTR_{a.name}: {a.name.lower()!r},")
    w("}")
    return "\n".join(out) + "\n"


def generate(header_path: str) -> Dict[str, str]:
    """The generated modules' texts by file name."""
    with open(header_path, encoding="ascii") as f:
        header = parse(f.read())
    source = "include/Varnel.h"
    return {"_lowlevel.py": render_lowlevel(header, source),
            "_attributes.py": render_attributes(header, source)}


def main(argv: Optional[List[str]] = None) -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--header", default=DEFAULT_HEADER, help="the C header (default: include/Varnel.h)")
    parser.add_argument("--out", default=DEFAULT_OUT, help="folder to write into (default: python/varnel)")
    args = parser.parse_args(argv)
    for name, text in generate(args.header).items():
        with open(os.path.join(args.out, name), "w", encoding="utf-8") as f:
            f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())

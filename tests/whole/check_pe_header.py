#!/usr/bin/python3
"""Checks the 32-bit program's PE header with objdump: PE32, subsystem 2 (Windows GUI),
subsystem version 6.0.

    check_pe_header.py PROGRAM.exe

Exit code 77 (skipped) when the program has not been built.
"""

import re
import subprocess
import sys

exe = sys.argv[1]
try:
    open(exe, "rb").close()
except OSError:
    print("not built:", exe)
    sys.exit(77)

out = subprocess.run(["i686-w64-mingw32-objdump", "-p", exe], stdout=subprocess.PIPE,
                     stderr=subprocess.STDOUT, text=True).stdout


def field(name):
    m = re.search(r"^%s\s+(\S+)" % name, out, re.M)
    return m.group(1) if m else None


checks = [
    ("file format pei-i386", "file format pei-i386" in out),
    ("Magic 010b (PE32)", field("Magic") == "010b" and "(PE32)" in out),
    ("Subsystem 2 (Windows GUI)", field("Subsystem") == "00000002"),
    ("MajorSubsystemVersion 6", field("MajorSubsystemVersion") == "6"),
    ("MinorSubsystemVersion 0", field("MinorSubsystemVersion") == "0"),
]
failed = [name for name, ok in checks if not ok]
for name, ok in checks:
    print(("ok   " if ok else "FAIL ") + name)
sys.exit(1 if failed else 0)

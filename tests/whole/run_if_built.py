#!/usr/bin/python3
"""Runs a check script on the 32-bit program; exit code 77 (skipped) while it has not been built.

    run_if_built.py PROGRAM.exe SCRIPT.py [ARGS...]
"""

import os
import subprocess
import sys

exe, script = sys.argv[1], sys.argv[2]
if not exe or not os.path.isfile(exe):
    print("not built:", exe)
    sys.exit(77)
sys.exit(subprocess.call([sys.executable, script, exe] + sys.argv[3:]))

#!/usr/bin/python3
"""Runs a command on a private Xvfb with no window manager, Qt on its X11 platform, and exits with
the command's status.

usage: on_private_display.py COMMAND [ARGUMENT...]
"""

import os
import subprocess
import sys

from private_display import start_xvfb

xvfb, display = start_xvfb()
try:
    sys.exit(subprocess.run(sys.argv[1:], env={**os.environ, "DISPLAY": display,
                                                "QT_QPA_PLATFORM": "xcb"}, check=False).returncode)
finally:
    xvfb.terminate()
    xvfb.wait(timeout=30)

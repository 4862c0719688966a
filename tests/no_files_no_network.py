#!/usr/bin/env python3
"""Drives the program through a scripted session under a private Xvfb, traced by strace, and
fails if it writes, creates or removes any file or opens any network connection.

The program runs in the environment of a desktop session that the test controls: its own X
server, its own D-Bus session bus and its own runtime folder. Without a session bus, the D-Bus
library would start one itself wherever the machine allows it, and write its address to the home
folder and /tmp.

Reading is not checked: the libraries read fonts, themes, plugins and configuration as they
please. What is allowed beyond reading is listed below, each with its reason.

usage: no_files_no_network.py PATH_TO_RUNBY
"""

import os
import re
import subprocess
import sys
import tempfile

from desktop_session import Desktop, eventually
from private_display import start_xvfb

ALLOWED_WRITES = ()
# The X server's socket, and the session's D-Bus buses, which Qt asks about accessibility.
ALLOWED_UNIX_SOCKETS = (re.compile(r"@?/tmp/\.X11-unix/X\d+"), re.compile(r".*bus.*"))

WRITE_FLAGS = ("O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC", "O_APPEND")
CHANGING_CALLS = ("mkdir", "mkdirat", "unlink", "unlinkat", "rmdir", "rename", "renameat",
                  "renameat2", "link", "linkat", "symlink", "symlinkat", "truncate", "creat",
                  "chmod", "fchmodat", "chown", "fchownat", "utimensat", "mknod", "mknodat")

CALL = re.compile(r'^(?P<name>\w+)\((?P<args>.*)\)\s+=\s+(?P<result>-?\d+|\?)')
PATH = re.compile(r'"((?:[^"\\]|\\.)*)"')


def session(env):
    """Typical use: imperial 150 and Enter, the help message, metric 0.75, Clear, metric 75. Each
    step waits for what it must show, so that the whole session has run before the trace is read."""
    desktop = Desktop(env)
    window = desktop.find_window("Tarnvale")
    desktop.xdotool("windowfocus", "--sync", window)
    desktop.xdotool("key", "--delay", "20", "1", "5", "0", "Return", "ctrl+r")
    desktop.find_window("Runby Information")
    desktop.xdotool("key", "Escape")
    if not eventually(lambda: desktop.run("xdotool", "search", "--onlyvisible", "--name",
                                          "Runby Information", check=False).returncode != 0):
        sys.exit("the Runby Information box did not close")
    # With no window manager, the keyboard focus does not come back by itself.
    desktop.xdotool("windowfocus", "--sync", window)
    desktop.xdotool("key", "--delay", "20", "alt+m", "0", "period", "7", "5", "Return", "alt+l",
                    "7", "5")
    if not eventually(lambda: desktop.field_text(window, "txtMetricSpeed") == "75"):
        sys.exit("the session did not end with 75 in the metric speed field")


def start_session_bus(env):
    """A D-Bus session bus of the test's own; gives the process and its address."""
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                            "--print-address=1"], env=env, stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True)
    address = bus.stdout.readline().strip()
    if not address:
        sys.exit("the D-Bus session bus did not start")
    return bus, address


def violations(trace_dir):
    found = []
    for name in sorted(os.listdir(trace_dir)):
        with open(os.path.join(trace_dir, name), encoding="utf-8", errors="replace") as trace:
            for line in trace:
                call = CALL.match(line)
                if not call or call["result"] == "?" or int(call["result"]) < 0:
                    continue
                found += check_call(call["name"], call["args"], line.strip())
    return found


def check_call(name, args, line):
    paths = PATH.findall(args)
    if name in ("open", "openat", "openat2"):
        if any(flag in args for flag in WRITE_FLAGS) and paths and paths[0] not in ALLOWED_WRITES:
            return [line]
    elif name in CHANGING_CALLS:
        return [line]
    elif name == "socket" and "AF_UNIX" not in args:
        return [line]
    elif name in ("connect", "sendto", "sendmsg") and "sa_family=" in args:
        if "AF_UNIX" not in args:
            return [line]
        path = re.search(r'sun_path=(@?"[^"]*"|@?[^,}]*)', args)
        address = path.group(1).replace('"', "") if path else ""
        if not any(allowed.fullmatch(address) for allowed in ALLOWED_UNIX_SOCKETS):
            return [line]
    return []


def main():
    program = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as work:
        xvfb, display = start_xvfb()

        trace_dir = os.path.join(work, "trace")
        os.mkdir(trace_dir)
        runtime = os.path.join(work, "runtime")
        os.mkdir(runtime, 0o700)
        env = {**os.environ, "DISPLAY": display, "XDG_RUNTIME_DIR": runtime}
        env.pop("QT_QPA_PLATFORM", None)
        bus, env["DBUS_SESSION_BUS_ADDRESS"] = start_session_bus(env)
        traced = subprocess.Popen(["strace", "-f", "-ff", "-qq", "-e", "trace=%file,%network",
                                   "-o", os.path.join(trace_dir, "t"), program], env=env,
                                  stderr=subprocess.DEVNULL)
        try:
            session(env)
            if traced.poll() is not None:
                sys.exit(f"the program ended during the session (exit status {traced.returncode})")
        finally:
            # Ending the X server ends the program with it, and strace after it.
            xvfb.terminate()
            xvfb.wait(timeout=30)
            try:
                traced.wait(timeout=30)
            except subprocess.TimeoutExpired:
                traced.kill()
            bus.terminate()
            bus.wait(timeout=30)

        found = violations(trace_dir)
        if found:
            print("The program wrote files or opened network connections:")
            print("\n".join(found))
            sys.exit(1)
        print("no file written, no network connection opened")


if __name__ == "__main__":
    main()

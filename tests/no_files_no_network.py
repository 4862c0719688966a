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
import time

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


def session(display):
    """Typical use: imperial 150 and Enter, the help message, metric 0.75, Clear."""
    def xdotool(*args):
        subprocess.run(["xdotool", *args], check=True, env={**os.environ, "DISPLAY": display},
                       stdout=subprocess.DEVNULL, timeout=30)

    window = subprocess.run(["xdotool", "search", "--sync", "--name", "Tarnvale"], check=True,
                            capture_output=True, text=True, timeout=30,
                            env={**os.environ, "DISPLAY": display}).stdout.split()[0]
    xdotool("windowfocus", "--sync", window)
    steps = [("type", "150"), ("key", "Return"), ("key", "ctrl+r"), ("key", "Escape"),
             ("key", "alt+m"), ("type", "0.75"), ("key", "Return"), ("key", "alt+l")]
    for step in steps:
        xdotool(step[0], "--delay", "20", step[1]) if step[0] == "type" else xdotool(*step)
        time.sleep(0.2)


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
            session(display)
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

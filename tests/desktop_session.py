#!/usr/bin/env python3
"""Drives the real program as a fast typist would, under a private Xvfb and the openbox window
manager: keys sent back to back and texts pasted, then reads what every field shows through the
clipboard. Checks too that the window opens centred with its frame and offers no maximise.

usage: desktop_session.py PATH_TO_RUNBY
"""

import os
import subprocess
import sys
import tempfile
import time

from private_display import start_xvfb

SCREEN = (1024, 768)
CLIENT_HEIGHT = 252
# The middle of each field in the client area, in the order the results list them.
FIELDS = {"txtImperialSpeed": (204, 118), "txtMetricSpeed": (356, 118),
          "txtRunbyInches": (204, 162), "txtRunbyMillimeters": (356, 162)}
TYPICAL = ("150", "0.762", "4.5", "114.3")
# Each session: what it does, its steps (keys sent back to back, or a text pasted with Ctrl+V),
# and the four fields afterwards.
SESSIONS = [
    ("Alt+M, a metric speed", [["alt+m", "0", "period", "7", "5", "Return"]],
     ("147.63779", "0.75", "4.429133858268", "112.5")),
    ("Alt+I from metric", [["alt+m", "alt+i", "1", "5", "0", "Return"]], TYPICAL),
    ("Alt+I on the selected option", [["1", "5", "alt+i", "0", "Return"]], TYPICAL),
    ("Right on the selected option", [["Tab", "Tab", "Tab", "Right", "2", "Return"]],
     ("393.70078", "2", "5.905511811024", "150")),
    ("Alt+L, a speed", [["1", "5", "0", "Return", "alt+l", "7", "5", "Return"]],
     ("75", "0.381", "3", "76.2")),
    ("pasted with a zero-width space", ["1\u200b50", ["Return"]], TYPICAL),
    ("pasted with a no-break space", ["1\u00a0500", ["Return"]], ("1 500", "7.62", "6", "152.4")),
]


class Desktop:
    def __init__(self, env):
        self.env = env

    def run(self, *args, stdin=None, check=True):
        return subprocess.run(args, env=self.env, input=stdin, capture_output=True, timeout=30,
                              check=check)

    def xdotool(self, *args):
        return self.run("xdotool", *args).stdout.decode()

    def set_clipboard(self, text):
        # xclip stays behind to serve the text; its output must not hold a pipe open.
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], env=self.env,
                       input=text.encode(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30, check=True)

    def clipboard(self):
        result = self.run("xclip", "-selection", "clipboard", "-o", check=False)
        return result.stdout.decode() if result.returncode == 0 else ""

    def wait_for_window_manager(self):
        for _ in range(100):
            if b"window id" in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK",
                                        check=False).stdout:
                return
            time.sleep(0.05)
        sys.exit("openbox did not start")

    def property(self, window, name):
        return self.run("xprop", "-id", window, name).stdout.decode().partition("=")[2].strip()

    def geometry(self, window):
        """The window's left, top, width and height on the screen, without its frame."""
        info = dict(line.strip().split(":", 1) for line in
                    self.run("xwininfo", "-id", window).stdout.decode().splitlines() if ":" in line)
        return tuple(int(info[key]) for key in
                     ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def frame(self, window):
        """The window's frame on the screen: left, top, width and height."""
        x, y, width, height = self.geometry(window)
        left, right, top, bottom = (
            int(v) for v in self.property(window, "_NET_FRAME_EXTENTS").split(","))
        return x - left, y - top, width + left + right, height + top + bottom

    def field_texts(self, window):
        height = self.geometry(window)[3]
        texts = []
        for x, y in FIELDS.values():
            self.set_clipboard("")
            self.xdotool("mousemove", "--window", window, str(x), str(height - CLIENT_HEIGHT + y),
                         "click", "1", "key", "ctrl+a", "ctrl+c")
            time.sleep(0.1)
            texts.append(self.clipboard())
        return tuple(texts)


def start_program(desktop, program):
    process = subprocess.Popen([program], env=desktop.env, stderr=subprocess.DEVNULL)
    window = desktop.xdotool("search", "--sync", "--name", "Tarnvale").split()[0]
    desktop.xdotool("windowactivate", "--sync", window)
    return process, window


def check_window(desktop, window):
    """The frame's middle on the screen's middle; minimise and close, but no maximise."""
    failures = []
    for _ in range(40):
        left, top, width, height = desktop.frame(window)
        off = abs(2 * left + width - SCREEN[0]) + abs(2 * top + height - SCREEN[1])
        if off <= 2:
            break
        time.sleep(0.05)
    else:
        failures.append(f"frame {width}x{height} at {left},{top} is not centred")
    actions = desktop.property(window, "_NET_WM_ALLOWED_ACTIONS")
    if "MAXIMIZE" in actions or "MINIMIZE" not in actions or "CLOSE" not in actions:
        failures.append(f"allowed actions: {actions}")
    flags, functions, decorations = (int(v, 16) for v in
                                     desktop.property(window, "_MOTIF_WM_HINTS").split(",")[:3])
    maximize_function, maximize_decoration = 0x10, 0x40
    if functions & maximize_function or decorations & maximize_decoration:
        failures.append(f"Motif hints offer maximise: {flags:#x} {functions:#x} {decorations:#x}")
    return failures


def run_session(desktop, program, steps, first):
    process, window = start_program(desktop, program)
    try:
        failures = check_window(desktop, window) if first else []
        for step in steps:
            if isinstance(step, str):
                desktop.set_clipboard(step)
                desktop.xdotool("key", "ctrl+v")
            else:
                desktop.xdotool("key", "--delay", "20", *step)
        time.sleep(0.3)
        return failures, desktop.field_texts(window)
    finally:
        process.terminate()
        process.wait(timeout=30)


def main():
    program = os.path.abspath(sys.argv[1])
    passed, failed = 0, 0
    with tempfile.TemporaryDirectory() as runtime:
        os.chmod(runtime, 0o700)
        xvfb, display = start_xvfb(*SCREEN)
        env = {**os.environ, "DISPLAY": display, "XDG_RUNTIME_DIR": runtime}
        env.pop("QT_QPA_PLATFORM", None)
        desktop = Desktop(env)
        window_manager = subprocess.Popen(["openbox", "--sm-disable"], env=env,
                                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            desktop.wait_for_window_manager()
            for index, (what, steps, expected) in enumerate(SESSIONS):
                failures, shown = run_session(desktop, program, steps, index == 0)
                if shown != expected:
                    failures.append(f"fields show {shown}, not {expected}")
                print(("FAIL " if failures else "ok   ") + what)
                for failure in failures:
                    print("     " + failure)
                failed += bool(failures)
                passed += not failures
        finally:
            window_manager.terminate()
            xvfb.terminate()
            xvfb.wait(timeout=30)
    print(f"{passed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()

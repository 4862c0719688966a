#!/usr/bin/python3
"""Response benchmark of runby.exe under Wine against a minimal Win32 program that writes one
field on Enter (bare_window_win32.exe).

Starts each program under a private Xvfb, pair by pair in alternating order, through Wine in the
WINEPREFIX of the environment. Once a program's first frame is painted, keys go to it through
XTEST and the window's DAMAGE reports are collected until it stays unchanged for a while:

  Enter   after 150: the time from the key to the last paint of the burst, the result then
          shown whole;
  Alt+M   in runby.exe: the time to the metric speed field painted enabled, the last paint.

Prints the medians, the ratio of the Enter times, and the paints of each event: each painted
rectangle with the number of times it was painted, the area of each field once painted whole.

usage: response.py RUNBY_EXE BARE_WINDOW_EXE [PAIRS]
"""

import os
import statistics
import subprocess
import sys
import time
from collections import Counter

from Xlib import X, XK
from Xlib.ext import xtest

from startup import (TIMEOUT_SECONDS, next_event, quiet, start_xvfb, wait_for_first_frame,
                     watch_display)

QUIET_SECONDS = 0.4  # no paint for this long ends an event's burst
CARET_WIDTH = 2  # a paint this narrow is the caret, which blinks: it is listed but not timed


def burst(conn, started, deadline):
    """The paints that follow, until none comes for QUIET_SECONDS, the first awaited until the
    deadline: each painted rectangle with the seconds from started to its paint."""
    paints = []
    while True:
        now = time.perf_counter()
        try:
            event = next_event(conn, now + QUIET_SECONDS if paints else
                               max(now + QUIET_SECONDS, deadline))
        except TimeoutError:
            return paints
        if type(event).__name__ == "DamageNotify":
            area = event.area
            paints.append((time.perf_counter() - started,
                           (area.x, area.y, area.width, area.height)))


def last_paint(paints, within=None):
    """Seconds to the last paint that is not the caret's, of those that meet the area if given."""
    return max(seconds for seconds, area in paints if area[2] > CARET_WIDTH
               and (within is None or meets(area, within)))


def meets(area, other):
    x, y, width, height = area
    left, top, other_width, other_height = other
    return x < left + other_width and left < x + width and y < top + other_height \
        and top < y + height


def send_keys(conn, *keys):
    """Presses the keys in order and lets them go in reverse: ("Alt_L", "m") is Alt+M."""
    codes = [conn.keysym_to_keycode(XK.string_to_keysym(key)) for key in keys]
    for code in codes:
        xtest.fake_input(conn, X.KeyPress, code)
    for code in reversed(codes):
        xtest.fake_input(conn, X.KeyRelease, code)
    conn.sync()


def focus_top_window(conn):
    """Gives the keyboard to the topmost window shown: Xvfb runs no window manager to do it."""
    shown = [window for window in conn.screen().root.query_tree().children
             if window.get_attributes().map_state == X.IsViewable]
    shown[-1].set_input_focus(X.RevertToParent, X.CurrentTime)
    conn.sync()


def respond(conn, *keys):
    quiet(conn)
    started = time.perf_counter()
    send_keys(conn, *keys)
    return burst(conn, started, started + TIMEOUT_SECONDS)


def measure(conn, command, env, runby):
    """One launch: the seconds to the last paint of Enter and, for runby.exe, of Alt+M and of the
    metric speed field in it; and the rectangles each event painted."""
    quiet(conn)
    started = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        wait_for_first_frame(conn, started, started + TIMEOUT_SECONDS)
        burst(conn, time.perf_counter(), time.perf_counter())
        focus_top_window(conn)
        for key in "150":
            send_keys(conn, key)
        burst(conn, time.perf_counter(), time.perf_counter() + TIMEOUT_SECONDS)
        enter = respond(conn, "Return")
        results = {"Enter": (last_paint(enter), enter)}
        if runby:
            switch = respond(conn, "Alt_L", "m")
            results["Alt+M"] = (last_paint(switch), switch)
            # The digit typed next shows where the metric speed field is.
            field = next(area for _, area in respond(conn, "7") if area[2] > CARET_WIDTH)
            results["Alt+M, metric field"] = (last_paint(switch, field), [])
        return results
    finally:
        process.terminate()
        process.wait(timeout=TIMEOUT_SECONDS)


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    programs = {"runby": os.path.abspath(sys.argv[1]), "bare": os.path.abspath(sys.argv[2])}
    pairs = int(sys.argv[3]) if len(sys.argv) > 3 else 10
    server, name = start_xvfb(1280, 1024)
    env = {**os.environ, "DISPLAY": name}
    results = {label: [] for label in programs}
    try:
        conn = watch_display(name)
        subprocess.run(["wineserver", "-p"], env=env, check=False)
        subprocess.run(["wine", "cmd", "/c", "exit"], env=env, check=True)
        measure(conn, ["wine", programs["bare"]], env, False)  # warms the file cache
        for pair in range(pairs):
            order = list(programs) if pair % 2 == 0 else list(reversed(programs))
            for label in order:
                results[label].append(
                    measure(conn, ["wine", programs[label]], env, label == "runby"))
    finally:
        subprocess.run(["wineserver", "-k"], env=env, check=False)
        server.terminate()
        server.wait()

    medians = {}
    for label, runs in results.items():
        for event in runs[0]:
            times = [run[event][0] for run in runs]
            medians[label, event] = statistics.median(times)
            paints = Counter(area for run in runs for _, area in run[event][1])
            print(f"{label:6} {event:6} last paint {medians[label, event] * 1000:6.1f} ms "
                  f"(median of {len(runs)}, {min(times) * 1000:.1f}-{max(times) * 1000:.1f})")
            for area, count in sorted(paints.items()):
                print(f"         painted {count / len(runs):4.1f} times per event: {area}")
    print(f"ratio  Enter {medians['runby', 'Enter'] / medians['bare', 'Enter']:.2f}")


if __name__ == "__main__":
    main()

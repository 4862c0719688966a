#!/usr/bin/python3
"""Startup benchmark of the calculator against a bare Qt window with the same widgets and menu.

Starts each program under a private Xvfb, pair by pair in alternating order, and measures the
time from launch to the window being mapped (MapNotify) and to its first painted frame (the
first DAMAGE report inside the window after the map), and the resident memory once shown. Prints
the medians, the ratios and the other targets: no Mesa driver or LLVM library loaded, and of Qt
only Core, Gui and Widgets linked.

With --wine the two programs are Windows programs, started through Wine in the WINEPREFIX of the
environment, with a persistent Wine server on the private display; only the times are compared
then, and beside them a figure that a busy machine does not move: the requests each program makes
to the Wine server up to its first frame, counted once from Wine's server trace.

usage: startup.py [--wine] RUNBY BARE_WINDOW [PAIRS]
"""

import os
import re
import select
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display as xdisplay
from Xlib.ext import damage

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests"))
from private_display import start_xvfb  # noqa: E402  (found through the path just set)

SETTLE_SECONDS = 0.3  # after the first frame, before the resident memory is read
TIMEOUT_SECONDS = 20
MESA_OR_LLVM = re.compile(r"/(libLLVM[^/]*|libgallium[^/]*|libGLX_mesa[^/]*|dri/[^/]*|"
                          r"libEGL_mesa[^/]*|libglapi[^/]*)$")


def watch_display(name):
    """A connection to the display that reports each window mapped and each paint."""
    conn = xdisplay.Display(name)
    conn.damage_query_version()
    root = conn.screen().root
    root.change_attributes(event_mask=X.SubstructureNotifyMask)
    root.damage_create(damage.DamageReportRawRectangles)
    return conn


def next_event(conn, deadline):
    while not conn.pending_events():
        remaining = deadline - time.perf_counter()
        if remaining <= 0:
            raise TimeoutError("no window within the time limit")
        select.select([conn.fileno()], [], [], remaining)
    return conn.next_event()


def intersects(area, geometry):
    return (area.x < geometry.x + geometry.width and geometry.x < area.x + area.width
            and area.y < geometry.y + geometry.height and geometry.y < area.y + area.height)


def resident_kib(pid):
    with open(f"/proc/{pid}/status", encoding="ascii") as status:
        return int(next(line for line in status if line.startswith("VmRSS:")).split()[1])


def mesa_or_llvm_libraries(pid):
    with open(f"/proc/{pid}/maps", encoding="utf-8") as maps:
        paths = {line.split()[-1] for line in maps if "/" in line}
    return sorted(path for path in paths if MESA_OR_LLVM.search(path))


def quiet(conn):
    conn.sync()
    while conn.pending_events():
        conn.next_event()


def wait_for_first_frame(conn, started, deadline):
    """Seconds from started to the window being mapped and to its first painted frame."""
    root = conn.screen().root
    mapped = None
    geometry = None
    while True:
        event = next_event(conn, deadline)
        now = time.perf_counter()
        if event.type == X.MapNotify and mapped is None and event.event.id == root.id:
            mapped = now - started
            geometry = event.window.get_geometry()
        elif type(event).__name__ == "DamageNotify" and mapped is not None:
            if intersects(event.area, geometry):
                return mapped, now - started


def measure(conn, command, env):
    """One launch: seconds to map, seconds to first frame, resident KiB, Mesa/LLVM libraries."""
    quiet(conn)
    started = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    try:
        mapped, painted = wait_for_first_frame(conn, started, started + TIMEOUT_SECONDS)
        time.sleep(SETTLE_SECONDS)
        return mapped, painted, resident_kib(process.pid), mesa_or_llvm_libraries(process.pid)
    finally:
        process.terminate()
        process.wait(timeout=TIMEOUT_SECONDS)


THREAD_START = re.compile(rb"^([0-9a-f]+): init_(?:first_)?thread\( unix_pid=(\d+),", re.MULTILINE)
REQUEST = re.compile(rb"^([0-9a-f]+): \w+\((?!\) = )", re.MULTILINE)


def requests_of(trace, pid):
    """The requests in a Wine server trace from the threads of the process with this Unix pid."""
    threads = {thread for thread, unix_pid in THREAD_START.findall(trace) if int(unix_pid) == pid}
    return sum(1 for thread in REQUEST.findall(trace) if thread in threads)


def server_requests(conn, command, env):
    """The requests a program makes to the Wine server from its launch to its first frame,
    counted from the trace of a Wine server of its own."""
    subprocess.run(["wineserver", "-k"], env=env, check=False)
    with tempfile.TemporaryFile() as trace:
        server = subprocess.Popen(["wineserver", "-f", "-d1"], env=env, stderr=trace)
        subprocess.run(["wine", "cmd", "/c", "exit"], env=env, check=True)
        quiet(conn)
        started = time.perf_counter()
        process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        try:
            wait_for_first_frame(conn, started, started + TIMEOUT_SECONDS * 3)
            trace.flush()
            trace.seek(0)
            return requests_of(trace.read(), process.pid)
        finally:
            process.terminate()
            process.wait(timeout=TIMEOUT_SECONDS)
            subprocess.run(["wineserver", "-k"], env=env, check=False)
            server.wait(timeout=TIMEOUT_SECONDS)


def linked_qt_modules(program):
    dynamic = subprocess.run(["readelf", "-d", program], check=True, capture_output=True,
                             text=True).stdout
    return sorted(set(re.findall(r"\[libQt6(\w+)\.so", dynamic)))


def main():
    args = sys.argv[1:]
    wine = bool(args) and args[0] == "--wine"
    args = args[1:] if wine else args
    if len(args) < 2:
        sys.exit(__doc__)
    programs = {"runby": os.path.abspath(args[0]), "bare": os.path.abspath(args[1])}
    launcher = ["wine"] if wine else []
    pairs = int(args[2]) if len(args) > 2 else 10
    server, name = start_xvfb(1280, 1024)
    env = {**os.environ, "DISPLAY": name}
    env.pop("QT_QPA_PLATFORM", None)
    results = {label: [] for label in programs}
    try:
        conn = watch_display(name)
        if wine:
            subprocess.run(["wineserver", "-p"], env=env, check=False)
            subprocess.run(["wine", "cmd", "/c", "exit"], env=env, check=True)
        measure(conn, launcher + [programs["bare"]], env)  # warms the file cache for both
        for pair in range(pairs):
            order = list(programs) if pair % 2 == 0 else list(reversed(programs))
            for label in order:
                results[label].append(measure(conn, launcher + [programs[label]], env))
        if wine:
            requests = {label: server_requests(conn, launcher + [program], env)
                        for label, program in programs.items()}
    finally:
        if wine:
            subprocess.run(["wineserver", "-k"], env=env, check=False)
        server.terminate()
        server.wait()

    medians = {}
    for label, runs in results.items():
        medians[label] = [statistics.median(run[i] for run in runs) for i in range(3)]
        mapped, painted, resident = medians[label]
        print(f"{label:6} map {mapped * 1000:7.1f} ms   first frame {painted * 1000:7.1f} ms   "
              f"resident {resident / 1024:6.1f} MiB   ({len(runs)} runs, medians)")
    runby, bare = medians["runby"], medians["bare"]
    print(f"ratio  map {runby[0] / bare[0]:.3f}   first frame {runby[1] / bare[1]:.3f}   "
          f"resident +{(runby[2] - bare[2]) / 1024:.2f} MiB")
    if wine:
        print(f"Wine server requests to the first frame: runby {requests['runby']}, "
              f"bare {requests['bare']}, ratio {requests['runby'] / requests['bare']:.3f}")
        return
    loaded = sorted({lib for run in results["runby"] for lib in run[3]})
    print("Mesa or LLVM libraries loaded:", ", ".join(loaded) if loaded else "none")
    print("Qt modules linked:", ", ".join(linked_qt_modules(programs["runby"])))


if __name__ == "__main__":
    main()

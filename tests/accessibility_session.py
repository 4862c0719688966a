#!/usr/bin/python3
"""Checks what a screen reader learns of the real program, through the Linux accessibility bus
(AT-SPI): a private X server, a private D-Bus session bus that starts the accessibility bus, and
pyatspi listening as a screen reader does. The controls must be named in the order of reading,
the unit options grouped, no field both editable and read-only, the focus must go where Tab sends
it and be on one object alone in the Runby Information box, and after 150 and Enter the result
must be told in one sentence by a notification, while the focus stays in the speed field.

usage: accessibility_session.py PATH_TO_RUNBY
"""

import os
import subprocess
import sys
import tempfile
import time

from driving import check, finish
from private_display import start_xvfb

DEADLINE = 30
SENTENCE = "Minimum runby 4.5 inches, 114.3 millimeters; 0.762 meters per second"
READING_ORDER = ["Tarnvale", "Units [Imperial, Metric]", "Speed", "Speed in feet per minute", "FPM",
                 "Speed in meters per second", "MPS", "Minimum Runby", "Minimum runby in inches",
                 "IN", "Minimum runby in millimeters", "MM", "Calculate", "Clear"]
TAB_ORDER = ["Calculate", "Clear", "Imperial", "Speed in feet per minute"]
def start_session_bus():
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                            "--print-address=1"], stdout=subprocess.PIPE,
                           stderr=subprocess.DEVNULL, text=True)
    address = bus.stdout.readline().strip()
    if not address:
        sys.exit("the D-Bus session bus did not start")
    return bus, address


class Listener:
    """Runs the accessibility event loop until a condition holds or the deadline passes."""

    def __init__(self, pyatspi):
        from gi.repository import GLib
        self.pyatspi = pyatspi
        self.glib = GLib
        self.events = []
        for kind in ("object:state-changed:showing", "object:state-changed:focused"):
            pyatspi.Registry.registerEventListener(self.events.append, kind)

    def until(self, condition):
        deadline = time.monotonic() + DEADLINE
        holds = [False]

        def tick():
            holds[0] = condition()
            if holds[0] or time.monotonic() > deadline:
                self.pyatspi.Registry.stop()
                return False
            return True

        self.glib.timeout_add(50, tick)
        self.pyatspi.Registry.start()
        return holds[0]


def application(pyatspi, name):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == name:
            return app
    return None


def focused(pyatspi, app):
    found = pyatspi.findDescendant(
        app, lambda o: o.getState().contains(pyatspi.STATE_FOCUSED))
    return found.name if found else None


def focused_objects(pyatspi, app):
    return pyatspi.findAllDescendants(app, lambda o: o.getState().contains(pyatspi.STATE_FOCUSED))


def names_below(parent):
    """The children's names, a group's members in brackets after its name."""
    return [child.name + (" [" + ", ".join(names_below(child)) + "]" if child.childCount else "")
            for child in parent]


def check_tree(pyatspi, app):
    """Names in the order of reading, the group of options and the fields' states."""
    client = pyatspi.findDescendant(
        app, lambda o: o.childCount == len(READING_ORDER) and o.getRoleName() == "filler")
    check(client and names_below(client) == READING_ORDER,
          "the controls named in the order of reading", client and names_below(client))
    options = pyatspi.findAllDescendants(app, lambda o: o.getRole() == pyatspi.ROLE_RADIO_BUTTON)
    check(len(options) == 2 and all(o.parent.name == "Units" and o.parent.childCount == 2
                                    for o in options),
          "the unit options are the two members of a group named Units")
    fields = pyatspi.findAllDescendants(app, lambda o: o.getRole() == pyatspi.ROLE_TEXT)
    states = [(f.name, f.getState().contains(pyatspi.STATE_EDITABLE),
               f.getState().contains(pyatspi.STATE_READ_ONLY)) for f in fields]
    check(len(fields) == 4 and all(editable != read_only for _, editable, read_only in states),
          "every field is editable or read-only, never both", states)


def check_tab_order(pyatspi, app, listener):
    visited = []
    for expected in TAB_ORDER:
        subprocess.run(["xdotool", "key", "Tab"], timeout=30, check=True)
        listener.until(lambda: focused(pyatspi, app) == expected)
        visited.append(focused(pyatspi, app))
    check(visited == TAB_ORDER, "Tab moves the focus as designed", visited)


def main():
    program = os.path.abspath(sys.argv[1])
    with tempfile.TemporaryDirectory() as runtime:
        os.chmod(runtime, 0o700)
        xvfb, display = start_xvfb()
        os.environ.update({"DISPLAY": display, "XDG_RUNTIME_DIR": runtime})
        os.environ.pop("QT_QPA_PLATFORM", None)
        bus, os.environ["DBUS_SESSION_BUS_ADDRESS"] = start_session_bus()
        runby = None
        try:
            import pyatspi
            listener = Listener(pyatspi)
            runby = subprocess.Popen([program], env={**os.environ,
                                                     "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"},
                                     stderr=subprocess.DEVNULL)
            app = [None]
            if not listener.until(lambda: app.__setitem__(0, application(pyatspi, "runby"))
                                  or app[0] is not None):
                sys.exit("the program did not appear on the accessibility bus")
            window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                                     "Tarnvale"], capture_output=True, text=True,
                                    timeout=30).stdout.split()[0]
            subprocess.run(["xdotool", "windowfocus", "--sync", window], timeout=30, check=True)
            listener.until(lambda: focused(pyatspi, app[0]) == "Speed in feet per minute")
            check_tree(pyatspi, app[0])
            check_tab_order(pyatspi, app[0], listener)
            subprocess.run(["xdotool", "key", "ctrl+r"], timeout=30, check=True)
            listener.until(lambda: focused(pyatspi, app[0]) == "OK")
            check([o.name for o in focused_objects(pyatspi, app[0])] == ["OK"],
                  "in the Runby Information box only OK has the focus",
                  [o.name for o in focused_objects(pyatspi, app[0])])
            subprocess.run(["xdotool", "key", "Escape"], timeout=30, check=True)
            # With no window manager, nothing gives the window back its activation.
            subprocess.run(["xdotool", "windowfocus", "--sync", window], timeout=30, check=True)
            listener.until(lambda: focused(pyatspi, app[0]) == "Speed in feet per minute")
            del listener.events[:]
            subprocess.run(["xdotool", "key", "--delay", "20", "1", "5", "0", "Return"],
                           timeout=30, check=True)

            def told():
                """A notification shown with the sentence in its label, which braille shows."""
                return any(e.type == "object:state-changed:showing" and e.detail1 == 1
                           and e.source.getRole() == pyatspi.ROLE_NOTIFICATION
                           and [child.name for child in e.source] == [SENTENCE]
                           for e in listener.events)

            check(listener.until(told),
                  "after 150 and Enter a notification is shown whose label says: " + SENTENCE,
                  [(e.type, e.detail1, e.source.getRoleName(), e.source.name)
                   for e in listener.events])
            check(focused(pyatspi, app[0]) == "Speed in feet per minute",
                  "the focus stays in the speed field",
                  [o.name for o in focused_objects(pyatspi, app[0])])
        finally:
            if runby:
                runby.terminate()
                runby.wait(timeout=30)
            bus.terminate()
            xvfb.terminate()
    finish()


if __name__ == "__main__":
    main()

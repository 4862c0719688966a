#!/usr/bin/env python3
"""Drives the real program as a fast typist would, under a private Xvfb and the openbox window
manager: the key sessions that every window runs, keys sent back to back, then reads what every
field shows through the clipboard. Checks too that the window opens centred with its frame and
offers no maximise.

With RUNBY_PROGRAM_LOG set to a path, what the program writes to its standard error is written
there, each session's under its name.

usage: desktop_session.py PATH_TO_RUNBY
"""

import os
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time

from Xlib import X, Xatom, display as xdisplay
from Xlib.protocol import event as xevent

from key_sessions import Translation, languages, read_sessions
from private_display import eventually, start_xvfb

SCREEN = (1024, 768)
TWIPS_PER_PIXEL = 15
LAYOUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "window", "layout.h")
FIELDS = ("txtImperialSpeed", "txtMetricSpeed", "txtRunbyInches", "txtRunbyMillimeters")
RUNBY_INFO_KEY = "r"
# The middle of the message box's OK, from the bottom right corner of the box's client area.
OK_FROM_RIGHT, OK_FROM_BOTTOM = 52, 22
# What the clipboard holds until a field's text is copied into it.
NOT_COPIED = "\u2400not copied"
KEYSYMS = {".": "period", " ": "space"}


def read_layout():
    """The client area's size and the middle of each control in it, from the window's layout."""
    with open(LAYOUT, encoding="utf-8") as source:
        text = source.read()
    client = None
    middles = {}
    for row in re.finditer(r'\{ControlId::\w+,\s*"(\w+)",\s*ControlKind::(\w+),\s*Text::\w+,'
                           r'\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)', text):
        left, top, width, height = (int(v) for v in row.groups()[2:])
        if row.group(2) == "Window":
            client = [width // TWIPS_PER_PIXEL, height // TWIPS_PER_PIXEL]
        elif not row.group(2).startswith("Menu"):
            middles[row.group(1)] = ((left + width // 2) // TWIPS_PER_PIXEL,
                                     (top + height // 2) // TWIPS_PER_PIXEL)
    return client, middles


CLIENT, MIDDLES = read_layout()


class PastedText(threading.Thread):
    """Holds a text on the clipboard, as the program it was copied from would, and notes when a
    program has taken it. The program takes it only once it handles Ctrl+V: a field read before
    then would put its own text on the clipboard, and the paste would get that."""

    def __init__(self, display_name, text):
        super().__init__(daemon=True)
        self.x = xdisplay.Display(display_name)
        self.text = text.encode()
        self.taken = threading.Event()
        self.owner = self.x.screen().root.create_window(0, 0, 1, 1, 0, X.CopyFromParent)
        self.targets, self.utf8, clipboard = (
            self.x.intern_atom(name) for name in ("TARGETS", "UTF8_STRING", "CLIPBOARD"))
        self.owner.set_selection_owner(clipboard, X.CurrentTime)
        self.x.sync()
        self.start()

    def run(self):
        while (request := self.x.next_event()).type != X.SelectionClear:
            if request.type != X.SelectionRequest:
                continue
            answer = request.property
            if request.target == self.targets:
                request.requestor.change_property(answer, Xatom.ATOM, 32,
                                                  [self.targets, self.utf8])
            elif request.target == self.utf8:
                request.requestor.change_property(answer, self.utf8, 8, self.text)
                self.taken.set()
            else:
                answer = X.NONE
            request.requestor.send_event(xevent.SelectionNotify(
                time=request.time, requestor=request.requestor, selection=request.selection,
                target=request.target, property=answer))
            self.x.flush()
        self.x.close()


class Desktop:
    def __init__(self, env):
        self.env = env
        # The height of each window's menu bar, above the client area.
        self.menu_heights = {}
        # The text held on the clipboard for the session's paste, if it has one.
        self.pasted = None
        self.speak("en")

    def speak(self, language):
        """Has the programs started from now on speak the language, as a desktop session names it
        for them."""
        self.env = {**self.env, "LANGUAGE": language}
        self.box_title = Translation(language).box_title

    def run(self, *args, stdin=None, check=True):
        return subprocess.run(args, env=self.env, input=stdin, capture_output=True, timeout=30,
                              check=check)

    def xdotool(self, *args):
        return self.run("xdotool", *args).stdout.decode()

    def set_clipboard(self, text):
        # xclip stays behind to serve the text; its output must not hold a pipe open. It may
        # return before it serves the text: on a busy machine a copy read at once would find
        # the text before.
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], env=self.env,
                       input=text.encode(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=30, check=True)
        if not eventually(lambda: self.clipboard() == text):
            raise RuntimeError(f"the clipboard does not hold {text!r}")

    def clipboard(self):
        result = self.run("xclip", "-selection", "clipboard", "-o", check=False)
        return result.stdout.decode() if result.returncode == 0 else ""

    def find_window(self, name):
        """The first shown window whose name holds name, once there is one. A search can fail while
        another program's windows are being destroyed: it is asked again until the deadline."""
        found = []

        def search():
            result = self.run("xdotool", "search", "--onlyvisible", "--name", name, check=False)
            found[:] = result.stdout.decode().split()
            return result.returncode == 0 and found

        if not eventually(search):
            sys.exit(f"no window named {name}")
        return found[0]

    def wait_for_window_manager(self):
        if not eventually(lambda: b"window id" in self.run(
                "xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False).stdout):
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

    def at(self, window, name):
        """xdotool's words that put the pointer on the middle of a control."""
        if window not in self.menu_heights:
            self.menu_heights[window] = self.geometry(window)[3] - CLIENT[1]
        x, y = MIDDLES[name]
        return ["mousemove", "--window", window, str(x), str(self.menu_heights[window] + y)]

    def field_text(self, window, name):
        """The field's text, copied to the clipboard. An empty field copies nothing: what stays
        uncopied for a moment is taken as empty, and a text copied late shows at the next read."""
        self.set_clipboard(NOT_COPIED)
        self.xdotool(*self.at(window, name), "click", "1", "key", "ctrl+a", "ctrl+c")
        copied = ""
        eventually_copied = time.monotonic() + 0.4
        while time.monotonic() < eventually_copied:
            copied = self.clipboard()
            if copied != NOT_COPIED:
                return copied
            time.sleep(0.05)
        return ""

    def field_texts(self, window):
        return tuple(self.field_text(window, name) for name in FIELDS)


def keysym(character):
    if character.isascii() and character.isalnum():
        return character
    return KEYSYMS.get(character, f"U{ord(character):04X}")


def keysym_of(character):
    """The X keysym that xdotool looks for: Latin-1's are the characters' codes, the others the
    code with 0x1000000 set."""
    code = ord(character)
    return code if 0xA0 <= code <= 0xFF else 0x1000000 | code


def keyboard_lacks(character):
    return not character.isascii()


def map_to_free_keys(display_name, characters):
    """Gives each character a key of its own before a session. xdotool would map one for the
    moment of its key press and take it back at once; on a busy machine the program reads the
    press after that, and the character is lost."""
    from Xlib import display as xdisplay
    keyboard = xdisplay.Display(display_name)
    first = keyboard.display.info.min_keycode
    mapping = keyboard.get_keyboard_mapping(first, keyboard.display.info.max_keycode - first + 1)
    free = [first + i for i, keysyms in enumerate(mapping) if not any(keysyms)]
    for keycode, character in zip(free, sorted(set(characters))):
        keyboard.change_keyboard_mapping(keycode, [(keysym_of(character),) * len(mapping[0])])
    keyboard.sync()
    keyboard.close()


def xdotool_words(desktop, window, steps):
    """One xdotool command line for a session's keys, sent back to back: a click comes between
    keys, and a paste's text goes to the clipboard first. Before a click on the message box's OK,
    the keys so far are sent and the box awaited."""
    words = []
    keys = []
    for step in steps:
        if step.kind == "click" and step.value == "OK":
            # A person clicks OK once the box shows: the keys before go now.
            if words or keys:
                desktop.xdotool(*words, *(["key", "--delay", "20", *keys] if keys else []))
            words, keys = [], []
            box = desktop.find_window(desktop.box_title)
            width, height = desktop.geometry(box)[2:]
            words += ["mousemove", "--window", box, str(width - OK_FROM_RIGHT),
                      str(height - OK_FROM_BOTTOM), "click", "1"]
        elif step.kind == "click":
            words += ["key", "--delay", "20", *keys] if keys else []
            keys = []
            words += [*desktop.at(window, step.value), "click", "1"]
        elif step.kind == "paste":
            desktop.pasted = PastedText(desktop.env["DISPLAY"], step.value)
            keys.append("ctrl+v")
        elif step.kind == "type":
            map_to_free_keys(desktop.env["DISPLAY"], [c for c in step.value if keyboard_lacks(c)])
            keys += [keysym(c) for c in step.value]
        elif step.kind in ("alt", "ctrl"):
            keys.append(f"{step.kind}+{step.value}")
        else:
            keys.append(step.value)
    return words + (["key", "--delay", "20", *keys] if keys else [])


def start_program(desktop, program, what=""):
    log_path = os.environ.get("RUNBY_PROGRAM_LOG")
    log = open(log_path, "a", encoding="utf-8") if log_path else subprocess.DEVNULL
    if log_path:
        log.write(f"== {what}\n")
        log.flush()
    process = subprocess.Popen([program], env=desktop.env, stderr=log)
    if log_path:
        log.close()
    window = desktop.find_window("Tarnvale")
    desktop.xdotool("windowactivate", "--sync", window)
    return process, window


def check_window(desktop, window):
    """The frame's middle on the screen's middle; minimise and close, but no maximise."""
    failures = []

    def centred():
        left, top, width, height = desktop.frame(window)
        return abs(2 * left + width - SCREEN[0]) + abs(2 * top + height - SCREEN[1]) <= 2

    if not eventually(centred):
        left, top, width, height = desktop.frame(window)
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


def run_session(desktop, program, session, first):
    """Sends the session's keys and waits for the fields it must leave."""
    process, window = start_program(desktop, program, session.what)
    try:
        failures = check_window(desktop, window) if first else []
        desktop.pasted = None
        desktop.xdotool(*xdotool_words(desktop, window, session.steps))
        if desktop.pasted and not eventually(desktop.pasted.taken.is_set):
            failures.append("the program did not take the pasted text")
        failures += fields_failures(desktop, window, session.fields)
        if failures:
            log_state(desktop, process)
        return failures
    finally:
        process.terminate()
        process.wait(timeout=30)


def log_state(desktop, process):
    """Adds to the program's log, after a failure, which window has the focus and what each of
    the program's threads waits in."""
    log_path = os.environ.get("RUNBY_PROGRAM_LOG")
    if not log_path:
        return
    focus = desktop.run("xdotool", "getwindowfocus", "getwindowname", check=False)
    threads = []
    for thread in sorted(os.listdir(f"/proc/{process.pid}/task")):
        with open(f"/proc/{process.pid}/task/{thread}/stat", encoding="utf-8") as stat, \
                open(f"/proc/{process.pid}/task/{thread}/wchan", encoding="utf-8") as wchan:
            threads.append(f"{stat.read().split(') ')[1][:1]} {wchan.read()}")
    with open(log_path, "a", encoding="utf-8") as log:
        log.write(f"-- failed; focus on {focus.stdout.decode().strip()!r}; "
                  f"threads: {', '.join(threads)}\n")


def fields_failures(desktop, window, expected):
    """Waits for the fields to show what is expected; says what they show otherwise."""
    shown = None

    def shows_expected():
        nonlocal shown
        shown = desktop.field_texts(window)
        return shown == tuple(expected)

    return [] if eventually(shows_expected) else [f"fields show {shown}, not {tuple(expected)}"]


def with_box_open(desktop, program, typed_at_box):
    """Starts the program, types 150 and opens the box, and once the box has the focus, calls
    typed_at_box(process), which gives its failures, if any; then the digit 7 that it typed after
    closing the box must follow 150."""
    process, window = start_program(desktop, program, typed_at_box.__name__)
    try:
        desktop.xdotool("key", "--delay", "20", "1", "5", "0", "ctrl+r")
        box = desktop.find_window(desktop.box_title)
        if not eventually(lambda: desktop.xdotool("getwindowfocus").strip() == box):
            return ["the box never had the focus"]
        return typed_at_box(process) or fields_failures(desktop, window, ("1507", "", "", ""))
    finally:
        process.terminate()
        process.wait(timeout=30)


def check_busy_program(desktop, program):
    """Keys typed while the program is busy reach the window meant once it handles them, not the
    one they were typed at: the box's Escape and a digit, both typed at the box, the digit for
    the window behind it once the box has closed."""
    def typed_while_stopped(process):
        process.send_signal(signal.SIGSTOP)
        try:
            desktop.xdotool("key", "--delay", "20", "Escape", "7")
        finally:
            process.send_signal(signal.SIGCONT)

    return with_box_open(desktop, program, typed_while_stopped)


def check_busy_window_manager(desktop, program, window_manager):
    """A key typed right after the box closes reaches the window behind it even while the window
    manager is too busy to give that window the focus back: X leaves the focus on no window of
    the program then, with the pointer on none of them."""
    def typed_while_window_manager_stopped(_):
        desktop.xdotool("mousemove", "0", "0")
        window_manager.send_signal(signal.SIGSTOP)
        try:
            desktop.xdotool("key", "Escape")
            if not eventually(lambda: desktop.run("xdotool", "search", "--onlyvisible", "--name",
                                                  desktop.box_title, check=False).returncode):
                return ["the box did not close"]
            desktop.xdotool("key", "7")
        finally:
            window_manager.send_signal(signal.SIGCONT)
        return []

    return with_box_open(desktop, program, typed_while_window_manager_stopped)


def main():
    program = os.path.abspath(sys.argv[1])
    passed, failed = 0, 0

    def report(what, failures):
        nonlocal passed, failed
        print(("FAIL " if failures else "ok   ") + what)
        for failure in failures:
            print("     " + failure)
        failed += bool(failures)
        passed += not failures
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
            for language in languages():
                desktop.speak(language)
                for index, session in enumerate(read_sessions(language)):
                    report(f"{language}: {session.what}",
                           run_session(desktop, program, session, index == 0))
            desktop.speak("en")
            report("keys typed at the box while the program is busy",
                   check_busy_program(desktop, program))
            report("a key typed as the box closes while the window manager is busy",
                   check_busy_window_manager(desktop, program, window_manager))
        finally:
            window_manager.terminate()
            xvfb.terminate()
            xvfb.wait(timeout=30)
    print(f"{passed} passed, {failed} failed")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()

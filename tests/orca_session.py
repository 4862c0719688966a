#!/usr/bin/python3
"""What Orca, the screen reader, says and brailles of the real program or of the page in Chromium.

Everything runs privately, inside one temporary folder: an X server with the openbox window
manager, a D-Bus session bus that starts the accessibility bus, speech-dispatcher with its sound
going nowhere, Orca writing what it speaks and brailles to its debug log, and the program, or
Chromium showing the page. The keys a blind user would press are sent one step at a time, each
step waiting until Orca's log holds what the step must make it say. The session runs in each
language the program speaks, with the system, Orca and Chromium in that language: what the program
says comes from its catalogue, what Orca says of its own from Orca's.

usage: orca_session.py [--language LANGUAGE] PATH_TO_RUNBY
       orca_session.py [--language LANGUAGE] --page SITE_FOLDER

With RUNBY_ORCA_LOG set to a path, Orca's whole log of each language is written there at the
end.
"""

import gettext
import os
import re
import shutil
import signal
import socket
import subprocess
import sys
import tempfile

from driving import check, finish, serve
from key_sessions import CATALOGUE, Translation, languages
from private_display import eventually, start_xvfb

# A spoken or brailled entry of Orca's log, or one that Orca kept in its history of
# notifications; speech ends with the voice it was spoken in.
ENTRY = re.compile(r"^\d\d:\d\d:\d\d\.\d+ - (SPEECH OUTPUT|BRAILLE LINE|NOTIFICATION KEPT): +"
                   r"'(.*)'\s*(\{.*\})?$", re.S)
KINDS = {"SPEECH OUTPUT": "speech", "BRAILLE LINE": "braille", "NOTIFICATION KEPT": "history"}
# Orca 43 logs an object as [role | name], later versions as [role: 'name'] or [role].
# Text that the page put into its status region, for Orca to speak once it has paused.
STATUS = re.compile(r"^\d\d:\d\d:\d\d\.\d+ - EVENT MANAGER: object:text-changed:insert for "
                    r"\[status bar(?: \| )?\] in .*?\(\d+, \d+, (.*)\)$", re.S)
# A control that Chromium tells has gained the focus, by its name, or by its role in brackets when
# it has none yet: as the box closes, Chromium may tell the focus on an option before the label
# that names it is back in the page's tree.
FOCUSED = re.compile(r"^\d\d:\d\d:\d\d\.\d+ - EVENT MANAGER: object:state-changed:focused for "
                     r"\[([a-z ]+)(?: \| (.*)|: '(.*)')?\] in .*\(1, 0, 0\)$", re.S)

# Keysyms of what is typed, where xdotool does not take the character itself.
KEYSYMS = {".": "period", ",": "comma"}


class Words:
    """What the program says in the language, from its catalogue, and what Orca says of its own,
    from Orca's catalogue and the accessibility bus's names of roles."""

    def __init__(self, language, folder):
        self.language = language
        self.translation = Translation(language)
        self.english = self.translation.english
        self.program = gettext.NullTranslations()
        if language != "en":
            compiled = os.path.join(folder, language + ".mo")
            subprocess.run(["msgfmt", "-o", compiled, os.path.join(CATALOGUE, language + ".po")],
                           check=True, timeout=30)
            with open(compiled, "rb") as catalogue:
                self.program = gettext.GNUTranslations(catalogue)
        # Where Debian installs Orca's catalogue and the accessibility bus's.
        system = "/usr/share/locale"
        self.orca = gettext.translation("orca", system, [language], fallback=True)
        self.roles = gettext.translation("at-spi2-core", system, [language], fallback=True)
        self.imperial_field = self.text("txtImperialSpeed_name")
        self.metric_field = self.text("txtMetricSpeed_name")
        self.cleared = self.text("sentence_cleared")
        self.sentence_150 = self.sentence(self.figure("figure_inches", "4.5"),
                                          self.figure("figure_millimeters", "114.3"),
                                          self.figure("figure_meters_per_second", "0.762"))
        self.sentence_075 = self.sentence(self.figure("figure_millimeters", "112.5"),
                                          self.about("figure_inches", "4.429"),
                                          self.about("figure_feet_per_minute", "147.6"))
        self.sentence_5 = self.sentence(self.figure("figure_millimeters", "150"),
                                        self.about("figure_inches", "5.906"),
                                        self.about("figure_feet_per_minute", "984.3"))
        # Orca 43 says "push button", later versions "button".
        self.button = self.role("push button", "button")
        self.rule_first_line = self.text("runby_info_text").split("\n")[0]

    def role(self, *names):
        """A role as the accessibility bus names it in the language, by the first of its names
        (they change between versions) that the bus's catalogue translates."""
        translated = [self.roles.gettext(name) for name in names
                      if self.roles.gettext(name) != name]
        return (translated or [names[-1]])[0]

    def text(self, context, **fillings):
        """The program's text, its access key's mark taken out."""
        text = self.program.pgettext(context, self.english[context])
        return text.format(**fillings).replace("&", "")

    def figure(self, context, digits):
        """A figure with its unit, in the form for the count of its whole part."""
        singular, plural = self.english[context]
        text = self.program.npgettext(context, singular, plural, int(float(digits)))
        return text.format(figure=digits.replace(".", self.translation.decimal_sign))

    def about(self, context, digits):
        return self.text("figure_about", figure=self.figure(context, digits))

    def sentence(self, first, second, speed):
        return self.text("sentence_runby_speed", first=first, second=second, speed=speed)

    def sentences(self):
        return (self.sentence_150, self.sentence_075, self.cleared)

    def keys(self, keys):
        """Keys named as typed in English, as typed in the language."""
        return [KEYSYMS.get(key, key) for key in self.translation.keys_of(keys).split()]

# Orca writes its log line by line, at the level that holds what it speaks and brailles, and logs
# each notification it keeps for the user to recall: Orca 43 keeps them in notification_messages,
# later versions in the notification presenter.
# Orca's accessibility library waits 800 ms for the program's answer, then takes the program for
# hung and presents nothing it was about to. The stress's load keeps an idle program from the
# processor for longer now and then (Orca fell silent on closing the box once in 20 runs), so the
# session gives the answer 5 s, as a machine with a person at it needs none.
CUSTOMIZATIONS = """
import datetime
import orca.debug
import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi

Atspi.set_timeout(5000, 15000)

orca.debug.debugLevel = orca.debug.LEVEL_INFO
orca.debug.debugFile.reconfigure(line_buffering=True)


def logged(save):
    def save_and_log(message):
        now = datetime.datetime.now().strftime("%H:%M:%S.%f")
        orca.debug.debugFile.write(f"{now} - NOTIFICATION KEPT: '{message}'\\n")
        return save(message)
    return save_and_log


try:
    from orca import notification_presenter
    presenter = notification_presenter.get_presenter()
    presenter.save_notification = logged(presenter.save_notification)
except ImportError:
    from orca import notification_messages
    notification_messages.saveMessage = logged(notification_messages.saveMessage)
"""

SPEECH_DISPATCHER_CONF = """AudioOutputMethod "libao"
DefaultModule espeak-ng
AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"
"""


def take_turn():
    """Orca starts only where no other Orca of the same user runs, on the whole machine: sessions
    run in turn, those in a chroot included, as an abstract socket's name is one for every process
    of the machine. The turn lasts as long as the socket given."""
    turn = socket.socket(socket.AF_UNIX)

    def taken():
        try:
            turn.bind("\0runby-orca-session")
            return True
        except OSError:
            return False

    if not eventually(taken, deadline=600):
        sys.exit("another Orca session kept running")
    return turn


def accepts(address):
    """Whether a server listens on the Unix socket."""
    with socket.socket(socket.AF_UNIX) as probe:
        try:
            probe.connect(address)
            return True
        except OSError:
            return False


class Session:
    """The private desktop, speech and screen reader, and Orca's log read as it grows."""

    def __init__(self, folder, language):
        self.folder = folder
        self.words = Words(language, folder)
        self.groups = []
        home = os.path.join(folder, "home")
        runtime = os.path.join(folder, "runtime")
        os.makedirs(home)
        os.makedirs(runtime, mode=0o700)
        # The language is the session's alone: Python started in the C locale sets LC_CTYPE, which
        # Orca would take its voice's language from.
        self.env = {key: value for key, value in os.environ.items()
                    if key not in ("QT_QPA_PLATFORM", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS",
                                   "LANG") and not key.startswith("LC_")}
        self.env.update(HOME=home, TMPDIR=folder, XDG_RUNTIME_DIR=runtime,
                        XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_DATA_HOME=os.path.join(home, ".local", "share"),
                        XDG_CACHE_HOME=os.path.join(home, ".cache"), GSETTINGS_BACKEND="keyfile",
                        LANGUAGE=language)
        if language != "en":
            self.env["LANG"] = self.words.translation.locale + ".UTF-8"
        self.log = os.path.join(folder, "orca.log")
        self.entries = []

    def start(self, *args, **options):
        """Starts a process in a process group of its own, which stop() ends."""
        options.setdefault("stdout", subprocess.DEVNULL)
        process = subprocess.Popen(args, env=self.env, start_new_session=True,
                                   stderr=subprocess.DEVNULL, **options)
        self.groups.append(process)
        return process

    def start_desktop(self):
        xvfb, self.env["DISPLAY"] = start_xvfb()
        self.groups.append(xvfb)
        bus = self.start("dbus-daemon", "--session", "--nofork", "--nopidfile",
                         "--print-address=1", stdout=subprocess.PIPE, text=True)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        subprocess.run(["gsettings", "set", "org.gnome.desktop.interface",
                        "toolkit-accessibility", "true"], env=self.env, check=True, timeout=30)
        self.start("openbox", "--sm-disable")

    def start_speech(self):
        """speech-dispatcher with espeak-ng, its sound to libao's null output: with no sound card
        the default output stops answering, and Orca with it."""
        with open(os.path.join(self.env["HOME"], ".libao"), "w", encoding="utf-8") as libao:
            libao.write("default_driver=null\n")
        config = os.path.join(self.folder, "speech-dispatcher")
        os.makedirs(config)
        with open(os.path.join(config, "speechd.conf"), "w", encoding="utf-8") as conf:
            conf.write(SPEECH_DISPATCHER_CONF)
        address = os.path.join(self.folder, "speechd.sock")
        self.start("speech-dispatcher", "--run-single", "--timeout", "0", "--config-dir", config,
                   "--socket-path", address, "--log-dir", self.folder,
                   "--pid-file", os.path.join(self.folder, "speechd.pid"))
        # Orca finding no server there would start one of its own, with the default output.
        if not eventually(lambda: accepts(address)):
            sys.exit("speech-dispatcher did not start")
        self.env["SPEECHD_ADDRESS"] = "unix_socket:" + address

    def start_orca(self):
        prefs = os.path.join(self.folder, "orca")
        os.makedirs(prefs)
        with open(os.path.join(prefs, "orca-customizations.py"), "w", encoding="utf-8") as custom:
            custom.write(CUSTOMIZATIONS)
        self.start("orca", "--debug", "--debug-file", self.log, "--user-prefs", prefs)
        # Orca starts slowly on a busy machine: its Python and its speech are loaded first.
        started = self.words.orca.gettext("Screen reader on.")
        if not self.wait_for(lambda said, _: started in said, deadline=120):
            sys.exit("Orca did not start; the end of its log:\n" + self.log_text()[-3000:])

    def stop(self):
        """Ends every process started, with the processes each started in its group."""
        for process in reversed(self.groups):
            try:
                os.killpg(process.pid, signal.SIGTERM)
            except ProcessLookupError:
                process.terminate()
            try:
                process.wait(timeout=30)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def log_text(self):
        try:
            with open(self.log, encoding="utf-8", errors="replace") as log:
                return log.read()
        except FileNotFoundError:
            return ""

    def update(self):
        """Reads what Orca has spoken and brailled so far, each entry whole: an entry's lines after
        its first are indented, and one not yet written whole does not match."""
        text = self.log_text()
        self.entries = []
        for entry in re.split(r"\n(?=\S)", text[:text.rfind("\n") + 1]):
            found = ENTRY.match(entry)
            if found:
                self.entries.append((KINDS[found.group(1)],
                                     re.sub(r"\n {18}", "\n", found.group(2))))
            elif STATUS.match(entry):
                self.entries.append(("status", STATUS.match(entry).group(1)))
            elif FOCUSED.match(entry):
                role, *name = FOCUSED.match(entry).groups("")
                self.entries.append(("focus", "".join(name) or f"[{role}]"))

    def mark(self):
        self.update()
        return len(self.entries)

    def since(self, mark, kind):
        return [text for entry_kind, text in self.entries[mark:] if entry_kind == kind]

    def wait_for(self, condition, mark=0, deadline=30):
        """Waits until condition(spoken, brailled) holds for what Orca logged since mark."""
        def holds():
            self.update()
            return condition("\n".join(self.since(mark, "speech")),
                             "\n".join(self.since(mark, "braille")))
        return eventually(holds, deadline)

    def settle(self, deadline=30):
        """Waits until Orca has handled every event it has queued, so that what it says next is
        not about a moment already past."""
        def drained():
            text = self.log_text()
            return text.count("EVENT MANAGER: Queueing ") == text.count("EVENT MANAGER: Dequeued ")
        return eventually(drained, deadline)

    def keys(self, *keys):
        """Sends keys named as typed in English, as typed in the session's language."""
        subprocess.run(["xdotool", "key", "--delay", "20", *self.words.keys(keys)], env=self.env,
                       check=True, timeout=30)

    def step(self, what, keys, *expected, ordered=True):
        """Sends keys and checks that Orca then says each expected text, in that order unless
        ordered is false."""
        mark = self.mark()
        self.keys(*keys)

        def said_all(said, _):
            at = 0
            for text in expected:
                at = said.find(text, at if ordered else 0)
                if at < 0:
                    return False
                at += len(text) if ordered else 0
            return True

        joiner = " … " if ordered else " and "
        check(self.wait_for(said_all, mark), what + ": Orca says " + joiner.join(expected),
              self.since(mark, "speech"))
        return mark


def typed(text):
    return list(text)


def start_program(session, target):
    if target[0] != "--page":
        session.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        session.start(os.path.abspath(target[0]))
        return None
    server = serve(target[1])
    session.start("chromium", "--no-sandbox", "--force-renderer-accessibility", "--no-first-run",
                  "--accept-lang=" + session.words.translation.locale.replace("_", "-"),
                  "--disable-background-networking", "--disable-component-update",
                  "--disable-sync", "--password-store=basic",
                  "--user-data-dir=" + os.path.join(session.folder, "chromium"),
                  f"--app=http://127.0.0.1:{server.server_port}/")
    return server


def run(session, page):
    words = session.words
    opened = session.wait_for(lambda said, shown: words.imperial_field in said
                              and words.imperial_field in shown)
    check(opened, "at start Orca says and brailles the imperial speed field",
          session.since(0, "speech"))
    if not opened:
        return

    # Orca's speech settings, logged with each utterance, name the voice's language; English is
    # the voice's own.
    if words.language != "en":
        check(f"language {words.language}," in session.log_text(),
              f"Orca speaks with a voice for {words.language}")
    calculate, clear = words.text("cmdCalculate_caption"), words.text("cmdClear_caption")
    imperial = words.text("optImperial_caption")
    typing = session.step("150 and Enter", typed("150") + ["Return"], words.sentence_150)
    session.step("Tab", ["Tab"], calculate, words.button)
    session.step("Tab", ["Tab"], clear, words.button)
    selected_option = (words.orca.pgettext("radiobutton", "selected") + " "
                       + words.role("radio button"))
    session.step("Tab onto the unit options", ["Tab"], words.text("unit_options_name"), imperial,
                 selected_option)
    session.step("Shift+Tab", ["shift+Tab"], clear, words.button)
    session.step("Shift+Tab", ["shift+Tab"], calculate, words.button)
    back = session.step("Shift+Tab back into the speed field", ["shift+Tab"],
                        words.imperial_field, "150")
    # On a busy machine Orca speaks the field before it takes up the field's selection events;
    # taken up after Alt+M has emptied the field, they would have it say "Text unselected" of a
    # selection the program told while it stood. A person hears the field out before going on.
    session.settle()

    # The option's name comes before the field's on the window, after it on the page, whose
    # status region is polite.
    metric_selected = words.text("sentence_option_selected",
                                 option=words.text("optMetric_caption"))
    alt_m = session.step("Alt+M", ["alt+m"], metric_selected, words.metric_field, ordered=False)
    # On a busy machine Chromium can tell the field's new selection before its focus, while the
    # field is not yet focused, and Orca speaks that selection: on the page, what counts is said
    # once the field has the focus.
    if page:
        back += next((at for at, entry in enumerate(session.entries[back:alt_m])
                      if entry == ("focus", words.imperial_field)), 0)
    values = [text for kind, text in session.entries[back:alt_m] if kind == "speech"
              and "150" in text]
    check(len(values) == 1, "back in the field, Orca says its value once", values)
    # The field left, selected as Shift+Tab entered it, is emptied with its selection.
    removed = (words.orca.pgettext("text", "unselected"),
               words.orca.gettext("Selection deleted."))
    unselected = [text for text in session.since(alt_m, "speech")
                  if any(phrase in text for phrase in removed)]
    check(not unselected, "Alt+M tells no selection removed", unselected)

    session.step("0.75 and Enter", typed("0.75") + ["Return"], words.sentence_075)
    session.step("Enter again", ["Return"], words.sentence_075)
    session.step("Alt+L, 0 and Enter", ["alt+l", "0", "Return"], words.cleared)
    box_told = (words.text("runby_info_title"), words.rule_first_line, words.text("box_ok"),
                words.button)
    session.step("Ctrl+R", ["ctrl+r"], *box_told, ordered=False)
    closed = session.step("OK", ["Return"], words.metric_field)
    # A sentence told again on closing comes before the next one. The page's status region has
    # Orca speak it once the user pauses: the keys sent next would silence it, so what the page
    # put into the region counts too.
    session.step("5 and Enter after the box", ["5", "Return"], words.sentence_5)
    again = [text for kind, text in session.entries[closed:] if kind in ("speech", "status")
             and any(sentence in text for sentence in words.sentences())]
    check(not again, "closing the box tells no sentence again", again)

    box_from_every_path(session, page, box_told)

    brailled = session.since(typing, "braille")
    check(all(any(sentence in line for line in brailled) for sentence in words.sentences()),
          "every sentence is shown in braille", brailled)
    if not page:
        kept = session.since(0, "history")
        check(all(sentence in kept for sentence in words.sentences()) and "" not in kept,
              "Orca keeps every sentence in its history of notifications", kept)


def box_from_every_path(session, page, box_told):
    """The box is told, with its title, its rule and its button, whatever led to it, and the focus
    comes back to the control that had it. The session stands in metric units with a result."""
    words = session.words
    imperial, clear = words.text("optImperial_caption"), words.text("cmdClear_caption")
    paths = [
        ("after a calculation", [], words.metric_field),
        ("after Ctrl+A, 0 and Enter in metric units", ["ctrl+a", "0", "Return"],
         words.metric_field),
        ("after Ctrl+A, 0 and Enter in imperial units",
         ["alt+i"] + typed("150") + ["Return", "ctrl+a", "0", "Return"], words.imperial_field),
        ("after Alt+L", ["alt+l"], words.imperial_field),
        ("from an option", ["Tab", "Tab", "Tab"], imperial),
        ("from a button", ["shift+Tab"], clear),
        ("from Help, by Alt+H and Enter", ["alt+h"], clear),
    ]
    # Chromium may tell the focus on an option before the label that names it is back in the
    # page's tree, by its role alone.
    unnamed = {imperial: f"[{words.role('radio button')}]"}
    for what, keys, back in paths:
        if keys:
            session.keys(*keys)
        opener = "Return" if keys == ["alt+h"] else "ctrl+r"
        session.step(f"the box {what}", [opener], *box_told, ordered=False)
        mark = session.mark()
        session.keys("Return")
        # Orca 43 on the page takes the focus back in silence where it does not go to a field:
        # the box's button it held is gone from the page by then. What counts is that it goes
        # back.
        if page and back not in (words.metric_field, words.imperial_field):
            def went_back(*_):
                focuses = session.since(mark, "focus")
                return back in focuses or unnamed.get(back) in focuses
            check(session.wait_for(went_back, mark),
                  f"OK {what}: the focus goes back to {back}", session.since(mark, "focus"))
        else:
            session.wait_for(lambda said, _: back in said, mark)
            check(back in "\n".join(session.since(mark, "speech")),
                  f"OK {what}: Orca says {back}", session.since(mark, "speech"))


def session_in(language, target, first):
    """One session, in the language, with an Orca of its own: Orca takes its language when it
    starts."""
    print("== in " + language)
    with take_turn(), tempfile.TemporaryDirectory(prefix="orca-session-") as folder:
        session = Session(folder, language)
        server = None
        try:
            session.start_desktop()
            session.start_speech()
            session.start_orca()
            server = start_program(session, target)
            run(session, target[0] == "--page")
        finally:
            if os.environ.get("RUNBY_ORCA_LOG"):
                with open(session.log, "rb") as log, \
                        open(os.environ["RUNBY_ORCA_LOG"], "wb" if first else "ab") as kept:
                    shutil.copyfileobj(log, kept)
            if server:
                server.shutdown()
            session.stop()


def main():
    # Ended from outside, the session still stops its Orca, which would keep any later Orca from
    # starting.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    target = sys.argv[1:]
    chosen = languages()
    if target[0] == "--language":
        chosen, target = [target[1]], target[2:]
    for language in chosen:
        session_in(language, target, first=language == chosen[0])
    finish()


if __name__ == "__main__":
    main()

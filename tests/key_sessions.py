"""Reads tests/key_sessions.txt, the key sessions that every window's driver runs; the file says
what a line holds. In another language, the sessions are typed with its access keys and its fields
show its decimal sign.

usage: key_sessions.py LANGUAGE    prints the sessions as they are typed in that language
"""

import os
import re
import sys
from dataclasses import dataclass

HERE = os.path.dirname(os.path.abspath(__file__))
FILE = os.path.join(HERE, "key_sessions.txt")
CATALOGUE = os.path.join(HERE, os.pardir, "catalogue")
sys.path.insert(0, CATALOGUE)
from write_catalogue import program_texts as entries  # noqa: E402
KEYS = ("Return", "KP_Enter", "Tab", "Left", "Right", "Up", "Down", "Escape", "Alt_L")


@dataclass
class Step:
    kind: str  # "key", "alt", "ctrl", "paste", "click" or "type"
    value: str  # the keysym name, the letter, the text or the control's name


@dataclass
class Session:
    what: str
    steps: list
    fields: tuple  # txtImperialSpeed, txtMetricSpeed, txtRunbyInches, txtRunbyMillimeters


def unescaped(text):
    return re.sub(r"\\u([0-9a-fA-F]{4})", lambda m: chr(int(m.group(1), 16)), text)


def step_of(token):
    if token in KEYS:
        return Step("key", token)
    for prefix in ("alt", "ctrl"):
        if token.startswith(prefix + "+"):
            return Step(prefix, token[len(prefix) + 1:])
    if token.startswith("paste:"):
        return Step("paste", unescaped(token[6:]))
    if token.startswith("click:"):
        return Step("click", token[6:])
    return Step("type", unescaped(token))


def languages():
    """The languages the program speaks, English first."""
    with open(os.path.join(CATALOGUE, "LINGUAS"), encoding="utf-8") as lines:
        return ["en"] + [line.strip() for line in lines if line.strip() and line[0] != "#"]


def access_key(caption):
    return caption[caption.index("&") + 1].lower() if "&" in caption else None


def texts_of(english):
    return {context: msgid for context, msgid, _ in english}


def locale_of(language):
    """The locale that the language's catalogue is written for, as its header names it."""
    with open(os.path.join(CATALOGUE, language + ".po"), encoding="utf-8") as catalogue:
        return re.search(r'^"Language: (\w+)\\n"$', catalogue.read(), re.M).group(1)


class Translation:
    """What a session types and shows in the language, beside the English texts: the access keys of
    its captions, a letter typed on the open Help menu being its item's, and its decimal sign in
    what is typed and shown."""

    def __init__(self, language):
        english = entries(os.path.join(CATALOGUE, "runby.pot"))
        self.english = texts_of(english)
        texts = self.english if language == "en" else {
            context: text for context, _, text in entries(os.path.join(CATALOGUE, language + ".po"))}
        self.keys = {access_key(msgid): access_key(texts[context])
                     for context, msgid, _ in english
                     if context.endswith("_caption") and access_key(msgid)}
        self.help = "alt+" + self.keys[access_key(self.english["mnuHelp_caption"])]
        self.decimal_sign = texts["decimal_sign"]
        self.box_title = texts["runby_info_title"]
        self.locale = "en_US" if language == "en" else locale_of(language)

    def keys_of(self, tokens):
        translated = []
        for token in tokens:
            on_menu = translated[-1:] == [self.help]
            if token.startswith("alt+"):
                token = "alt+" + self.keys[token[4:]]
            elif on_menu and len(token) == 1 and token.isalpha():
                token = self.keys[token]
            elif step_of(token).kind == "type":
                token = token.replace(".", self.decimal_sign)
            translated.append(token)
        return " ".join(translated)

    def parts(self, line):
        """The session's parts, as typed and shown in the language."""
        parts = [part.strip(" ") for part in line.split("|")]
        if len(parts) != 6:
            raise ValueError("a key session needs six parts: " + line)
        fields = [field.replace(".", self.decimal_sign) for field in parts[2:]]
        return [parts[0], self.keys_of(parts[1].split()), *fields]


def session_parts(language="en"):
    translation = Translation(language)
    with open(FILE, encoding="utf-8") as lines:
        return [translation.parts(line.rstrip("\n")) for line in lines
                if line.strip() and not line.startswith("#")]


def read_sessions(language="en"):
    return [Session(parts[0], [step_of(t) for t in parts[1].split()], tuple(parts[2:]))
            for parts in session_parts(language)]


if __name__ == "__main__":
    print("\n".join(" | ".join(parts) for parts in session_parts(sys.argv[1])))

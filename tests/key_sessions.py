"""Reads tests/key_sessions.txt, the key sessions that every window's driver runs; the file says
what a line holds."""

import os
import re
from dataclasses import dataclass

FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "key_sessions.txt")
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


def read_sessions():
    sessions = []
    with open(FILE, encoding="utf-8") as lines:
        for line in lines:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            parts = [part.strip(" ") for part in line.split("|")]
            if len(parts) != 6:
                raise ValueError("a key session needs six parts: " + line)
            sessions.append(Session(parts[0], [step_of(t) for t in parts[1].split()],
                                    tuple(parts[2:])))
    return sessions

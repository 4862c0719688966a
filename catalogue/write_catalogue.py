#!/usr/bin/python3
"""Writes the catalogue's C++ header from the template and the translations.

usage: write_catalogue.py OUTPUT TEMPLATE.pot [LANGUAGE.po ...]

Each text is keyed by its context, which names it in the code (Text::<context>). English comes
from the template's msgid, each other language from its file's msgstr, in the template's order.
"""

import ast
import os
import re
import sys


class CatalogueError(Exception):
    pass


def entries(path):
    """The file's entries, each (context, msgid, msgstr), the header left out."""
    found = []
    entry = {}
    field = None
    fuzzy = False

    def finish():
        nonlocal fuzzy
        if entry.get("msgid"):
            if fuzzy:
                raise CatalogueError(f"{path}: {entry.get('msgctxt')} is marked fuzzy")
            found.append((entry.get("msgctxt"), entry["msgid"], entry.get("msgstr", "")))
        entry.clear()
        fuzzy = False

    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                if field == "msgstr":
                    finish()
                fuzzy = fuzzy or (line.startswith("#,") and "fuzzy" in line)
                field = None
                continue
            keyword, _, rest = line.partition(" ")
            if keyword in ("msgctxt", "msgid", "msgstr"):
                if keyword != "msgstr" and field == "msgstr":
                    finish()
                field, line = keyword, rest
            if field is None or not line.startswith('"'):
                raise CatalogueError(f"{path}:{number}: not a line of a PO file")
            entry[field] = entry.get(field, "") + ast.literal_eval(line)
    finish()
    return found


def cpp_literal(text):
    escaped = text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")
    return f'"{escaped}"'


def program_texts(path):
    """The program's texts: those keyed by a context. The others are the desktop entry's and the
    software centre's, which msgfmt merges into their files."""
    return [entry for entry in entries(path) if entry[0]]


def texts_of(translation, template):
    """The translation's texts in the template's order; every one must be there."""
    translated = {context: text for context, _, text in entries(translation)}
    missing = [context for context, _, _ in template if not translated.get(context)]
    if missing:
        raise CatalogueError(f"{translation}: no text for {', '.join(missing)}")
    return [translated[context] for context, _, _ in template]


ACCENTED = str.maketrans("aceinouyACEINOUY", "àçéîñôûýÀÇÉÎÑÔÛÝ")


def pseudo_text(text):
    """The text as the tests' pseudo-language writes it: about 40% longer, accented, and marked
    at each end, its placeholders, access keys, line ends, outer blanks and one-character texts
    (the decimal sign) kept."""
    if len(text.strip()) < 2:
        return text
    parts = re.split(r"(\{\w+\}|\n|&.)", text)
    accented = "".join(part if part[:1] in ("{", "&", "\n") else part.translate(ACCENTED)
                       for part in parts)
    inner = accented.strip(" ")
    lead = accented[: len(accented) - len(accented.lstrip(" "))]
    trail = accented[len(accented.rstrip(" ")):]
    padding = "~" * max(1, round(0.4 * len(inner)) - 2)
    return f"{lead}[{inner}{padding}]{trail}"


def header(template_path, translations):
    template = program_texts(template_path)
    languages = [("en", [msgid for _, msgid, _ in template])]
    for path in translations:
        languages.append((os.path.splitext(os.path.basename(path))[0], texts_of(path, template)))
    lines = [
        "// Written by write_catalogue.py from the catalogue's template and translations.",
        "#pragma once",
        "",
        "#include <array>",
        "#include <cstddef>",
        "#include <string_view>",
        "",
        "namespace runby {",
        "",
        "// Every text the program shows or speaks; none is the empty text.",
        "enum class Text {",
        "    none,",
    ]
    lines += [f"    {context}," for context, _, _ in template]
    lines += [
        "};",
        "",
        f"constexpr std::size_t kTextCount = {len(template) + 1};",
        "",
        "struct Catalogue",
        "{",
        "    // The language's tag, as BCP 47 and gettext begin it.",
        "    std::string_view language;",
        "    std::array<std::string_view, kTextCount> texts;",
        "};",
        "",
        "// English first: the language of the design, and of any system that asks for none of these.",
        f"inline constexpr std::array<Catalogue, {len(languages)}> kCatalogues{{{{",
    ]
    for language, texts in languages:
        lines.append(f'    {{"{language}", {{""')
        lines += [f"        , {cpp_literal(text)}" for text in texts]
        lines.append("    }},")
    lines += [
        "}};",
        "",
        "// For the tests: each English text about 40% longer, accented and marked at each end.",
        'inline constexpr Catalogue kPseudoCatalogue{"qps", {""',
    ]
    lines += [f"    , {cpp_literal(pseudo_text(msgid))}" for _, msgid, _ in template]
    lines += ["}};", "", "} // namespace runby", ""]
    return "\n".join(lines)


def main(arguments):
    if len(arguments) < 2:
        raise CatalogueError(__doc__.strip().splitlines()[2])
    output, template, *translations = arguments
    text = header(template, translations)
    with open(output, "w", encoding="utf-8") as out:
        out.write(text)


if __name__ == "__main__":
    try:
        main(sys.argv[1:])
    except CatalogueError as error:
        sys.exit(f"write_catalogue.py: {error}")

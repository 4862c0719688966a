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
    """The file's entries, each (context, msgid, msgstr), the header left out. A text with plural
    forms has (msgid, msgid_plural) for its msgid and the tuple of its forms for its msgstr."""
    found = []
    entry = {}
    field = None
    fuzzy = False

    def finish():
        nonlocal fuzzy
        if entry.get("msgid"):
            if fuzzy:
                raise CatalogueError(f"{path}: {entry.get('msgctxt')} is marked fuzzy")
            if "msgid_plural" in entry:
                forms = tuple(entry[key] for key in sorted(entry) if key.startswith("msgstr["))
                found.append((entry.get("msgctxt"), (entry["msgid"], entry["msgid_plural"]),
                              forms))
            else:
                found.append((entry.get("msgctxt"), entry["msgid"], entry.get("msgstr", "")))
        entry.clear()
        fuzzy = False

    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                if field and field.startswith("msgstr"):
                    finish()
                fuzzy = fuzzy or (line.startswith("#,") and "fuzzy" in line)
                field = None
                continue
            keyword, _, rest = line.partition(" ")
            if re.fullmatch(r"msgctxt|msgid|msgid_plural|msgstr(\[\d\])?", keyword):
                if keyword in ("msgctxt", "msgid") and field and field.startswith("msgstr"):
                    finish()
                field, line = keyword, rest
            if field is None or not line.startswith('"'):
                raise CatalogueError(f"{path}:{number}: not a line of a PO file")
            entry[field] = entry.get(field, "") + ast.literal_eval(line)
    finish()
    return found


def plural_rule(path):
    """The C expression of the file's Plural-Forms, which gives a count's form: 0 or 1."""
    with open(path, encoding="utf-8") as text:
        found = re.search(r"nplurals=(\d+); *plural=([^;\\]+);", text.read())
    if not found or found.group(1) != "2":
        raise CatalogueError(f"{path}: Plural-Forms must give two forms")
    return found.group(2)


def cpp_literal(text):
    escaped = text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n")
    return f'"{escaped}"'


def program_texts(path):
    """The program's texts: those keyed by a context. The others are the desktop entry's and the
    software centre's, which msgfmt merges into their files."""
    return [entry for entry in entries(path) if entry[0]]


def texts_of(translation, template):
    """The translation's texts in the template's order; every one must be there, with each of its
    forms where it has plural forms."""
    translated = {context: text for context, _, text in entries(translation)}

    def whole(text):
        return bool(text) and all(text)
    missing = [context for context, _, _ in template if not whole(translated.get(context))]
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


ENGLISH_PLURAL_RULE = "n != 1"


def forms(text):
    """A text's first form and the one after it, empty for a text without plural forms."""
    return (text[0], text[1]) if isinstance(text, tuple) else (text, "")


def catalogue_lines(language, rule, texts):
    lines = [f'    {{"{language}", [](unsigned long n) -> std::size_t {{ return {rule}; }}, {{""']
    lines += [f"        , {cpp_literal(forms(text)[0])}" for text in texts]
    lines.append('    }, {""')
    lines += [f"        , {cpp_literal(forms(text)[1])}" for text in texts]
    lines.append("    }}")
    return lines


def header(template_path, translations):
    template = program_texts(template_path)
    languages = [("en", ENGLISH_PLURAL_RULE, [msgid for _, msgid, _ in template])]
    for path in translations:
        languages.append((os.path.splitext(os.path.basename(path))[0], plural_rule(path),
                          texts_of(path, template)))
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
        "    // The form of a text that a count takes: 0 for the first, 1 for the other.",
        "    std::size_t (*formOf)(unsigned long n);",
        "    std::array<std::string_view, kTextCount> texts;",
        "    // A text's other form, where it has two; empty for the others.",
        "    std::array<std::string_view, kTextCount> otherForms;",
        "};",
        "",
        "// English first: the language of the design, and of any system that asks for none of these.",
        f"inline constexpr std::array<Catalogue, {len(languages)}> kCatalogues{{{{",
    ]
    for language, rule, texts in languages:
        lines += catalogue_lines(language, rule, texts)
        lines[-1] += ","
    lines += [
        "}};",
        "",
        "// For the tests: each English text about 40% longer, accented and marked at each end.",
        "inline constexpr Catalogue kPseudoCatalogue"
    ]
    pseudo = [tuple(map(pseudo_text, msgid)) if isinstance(msgid, tuple) else pseudo_text(msgid)
              for _, msgid, _ in template]
    lines += catalogue_lines("qps", ENGLISH_PLURAL_RULE, pseudo)
    lines[-1] += ";"
    lines += ["", "} // namespace runby", ""]
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

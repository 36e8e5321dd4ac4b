#!/usr/bin/env python3
"""Every text the user guide quotes as the programs' own occurs in their sources.

    check_guide_texts.py REPOSITORY_ROOT

The guide's source (docs/guide/*.html) marks such texts <span class="ui">...</span>,
with <var>...</var> for the parts that change (a folder, a name, a number).
A program's texts live in its table of texts, the dialog's captions in the
resource scripts and the settings' words in the vocabulary: those files
(TEXT_SOURCES) are read, nothing else, so a text written anywhere else fails
here. Their string literals are read without the comments, adjacent literals
joined, escapes resolved and format conversions (%s, %d, %ls, ...) taken as
parts that change. A quoted text
without changing parts must stand in one literal; each fixed piece of one with
changing parts must stand in a literal (programs compose such texts from
several literals).
"""
import html
import pathlib
import re
import sys

TEXT_SOURCES = [
    "resources/*.rc",  # the dialog's captions, the programs' version texts
    "cardcheck/*.rc",
    "cardclone/*.rc",
    "settings/*.h",  # the settings' words, the plans and pages; the tool's texts (tool_texts.h)
    "cardcheck/check_texts.h",
    "cardclone/clone_texts.h",
    "cloning/cloning_texts.h",
    "cardbatch/batch_texts.h",
    "common/console.h",  # what both console programs show last
]
CHANGING = "\0"


def program_sources(root):
    found = set()
    for pattern in TEXT_SOURCES:
        matches = sorted(root.glob(pattern))
        if not matches:
            raise SystemExit(f"no text source matches {pattern}")
        found.update(matches)
    yield from sorted(found)


def literals(text):
    """The string literals of C++ or resource script text, comments skipped,
    adjacent literals joined."""
    found = []
    i, n = 0, len(text)
    joinable = False
    while i < n:
        if text.startswith("//", i):
            i = text.find("\n", i)
            i = n if i < 0 else i
        elif text.startswith("/*", i):
            i = text.find("*/", i + 2)
            i = n if i < 0 else i + 2
        elif text[i] == "'":
            end = i + 1
            while end < n and text[end] != "'":
                end += 2 if text[end] == "\\" else 1
            i = end + 1
            joinable = False
        elif text[i] == '"':
            end, value = i + 1, []
            while end < n and text[end] != '"':
                if text[end] == "\\" and end + 1 < n:
                    value.append({"n": "\n", "t": "\t", "r": "", "0": ""}.get(text[end + 1], text[end + 1]))
                    end += 2
                else:
                    value.append(text[end])
                    end += 1
            value = "".join(value)
            if joinable:
                found[-1] += value
            else:
                found.append(value)
            i, joinable = end + 1, True
        else:
            if not (text[i].isspace() or (text[i] in "LuU8" and text[i + 1 : i + 2] in ('"', "8"))):
                joinable = False
            i += 1
    return found


def changing_parts(literal):
    """A literal with its format conversions as changing parts."""
    literal = re.sub(r"%[-+ #0]*\d*(?:\.\d+)?(?:hh|h|ll|l|z|I64)?[sdiuxXcfgp]", CHANGING, literal)
    return literal.replace("%%", "%")


def quoted_texts(guide_dir):
    for path in sorted(guide_dir.glob("*.html")):
        source = path.read_text(encoding="utf-8")
        for match in re.finditer(r'<span class="ui">(.*?)</span>', source, re.S):
            text = re.sub(r"<var>.*?</var>", CHANGING, match.group(1), flags=re.S)
            if "<" in text:
                raise SystemExit(f"{path.name}: markup inside a quoted text: {match.group(1)}")
            yield path.name, html.unescape(text)


def main():
    root = pathlib.Path(sys.argv[1])
    texts = []
    for path in program_sources(root):
        texts += [changing_parts(t) for t in literals(path.read_text(encoding="utf-8"))]

    quoted = list(quoted_texts(root / "docs" / "guide"))
    missing = []
    for chapter, text in quoted:
        pieces = [p for p in text.split(CHANGING) if p] if CHANGING in text else [text]
        if not pieces or not all(any(piece in t for t in texts) for piece in pieces):
            missing.append((chapter, text))

    for chapter, text in missing:
        shown = text.replace(CHANGING, "‹…›")
        print(f"NOT IN THE SOURCES  {chapter}: {shown!r}")
    print(f"{len(quoted) - len(missing)} passed, {len(missing)} failed (quoted texts of the guide)")
    # A guide that quotes almost nothing has lost its marking, not its texts.
    if len(quoted) < 50:
        print(f"only {len(quoted)} quoted texts found: is <span class=\"ui\"> still the marking?")
        return 1
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())

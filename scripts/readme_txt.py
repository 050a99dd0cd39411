#!/usr/bin/env python3
"""README.TXT, the guide shipped with the program, made from the user's pages.

  readme_txt.py build README.TXT PAGE.md...  the pages as plain text, in order
  readme_txt.py check README.TXT             fails unless Notepad on Windows 98
                                             shows it as meant

The text is for Notepad on Windows 98: code page 1252, CRLF line ends, lines
of at most 76 characters. Build fails rather than writing a file that check
would refuse, so the two files cannot drift apart unnoticed.
"""
import re
import sys
import textwrap

WIDTH = 76
# A page's title, its sections and their parts, underlined as plain text does.
UNDERLINE = {"#": "=", "##": "-", "###": "~"}


def headed_blocks(markdown):
    """(underline, heading, lines below it) for each heading of a page."""
    found = []
    for line in markdown.splitlines():
        mark, _, name = line.partition(" ")
        if mark in UNDERLINE:
            found.append((UNDERLINE[mark], inline(name.strip()), []))
        elif found:
            found[-1][2].append(line)
    return found


def inline(text):
    text = re.sub(r"!\[[^\]]*\]\([^)]*\)", "", text)        # pictures
    text = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", text)    # links: their text
    text = re.sub(r"\*\*([^*]+)\*\*", r"\1", text)
    return text.replace("`", "")


def render(lines):
    """Paragraphs and list items rewrapped; indented blocks kept as written."""
    out, block, indent = [], [], None

    def flush():
        nonlocal block, indent
        if block:
            text = inline(" ".join(part.strip() for part in block)).strip()
            lead = " " * indent
            if text.startswith("- "):
                out.extend(textwrap.wrap(text[2:], WIDTH, initial_indent=lead + "- ",
                                         subsequent_indent=lead + "  ",
                                         break_on_hyphens=False, break_long_words=False))
            elif text:
                out.extend(textwrap.wrap(text, WIDTH, initial_indent=lead,
                                         subsequent_indent=lead, break_on_hyphens=False,
                                         break_long_words=False))
        block, indent = [], None

    code = False
    for line in lines:
        stripped = line.strip()
        if line.startswith("    ") and not block and (code or not out or out[-1] == ""):
            code = True
            out.append(line.rstrip())
            continue
        if not stripped:
            flush()
            code = False
            if out and out[-1] != "":
                out.append("")
            continue
        if stripped.startswith("!["):
            continue
        lead = len(line) - len(line.lstrip())
        if stripped.startswith("- "):
            flush()
            indent = lead
        elif indent is None:
            indent = lead  # a paragraph inside a list item keeps its place
        block.append(line)
    flush()
    while out and out[-1] == "":
        out.pop()
    return out


def build(target, pages):
    out = ["Tarnwick", "=" * len("Tarnwick"), ""]
    for page in pages:
        try:
            with open(page, encoding="utf-8") as f:
                blocks = headed_blocks(f.read())
        except OSError as e:
            sys.exit(f"readme_txt: {page}: {e.strerror}")
        if not blocks:
            sys.exit(f"readme_txt: {page} has no heading")
        for underline, name, lines in blocks:
            body = render(lines)
            out += [name, underline * len(name), ""] + (body + [""] if body else [])
    try:
        data = "\r\n".join(out).encode("cp1252")
    except UnicodeEncodeError as e:
        sys.exit(f"readme_txt: {e.object[e.start:e.end]!r} has no form in code page 1252")
    data = data.rstrip(b"\r\n") + b"\r\n"
    problems = check_bytes(data)
    if problems:
        sys.exit("readme_txt: " + "; ".join(problems[:5]))
    with open(target, "wb") as f:
        f.write(data)


def check_bytes(data):
    problems = []
    try:
        text = data.decode("cp1252")  # undefined bytes (0x81, 0x8D, ...) fail here
    except UnicodeDecodeError as e:
        return [f"not code page 1252 at byte {e.start}"]
    if not text.endswith("\r\n"):
        problems.append("the last line has no CRLF")
    for number, line in enumerate(text.split("\r\n")[:-1], 1):
        if "\r" in line or "\n" in line:
            problems.append(f"line {number}: a line end that is not CRLF")
        if len(line) > WIDTH:
            problems.append(f"line {number}: {len(line)} characters")
        if any(ord(c) < 32 for c in line):
            problems.append(f"line {number}: a control character")
    return problems


def main():
    if len(sys.argv) >= 4 and sys.argv[1] == "build":
        build(sys.argv[2], sys.argv[3:])
    elif len(sys.argv) == 3 and sys.argv[1] == "check":
        with open(sys.argv[2], "rb") as f:
            problems = check_bytes(f.read())
        for problem in problems:
            print(f"{sys.argv[2]}: {problem}")
        sys.exit(1 if problems else 0)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()

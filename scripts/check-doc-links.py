#!/usr/bin/env python3
"""Fails on a link in README.md or docs/*.md that leads nowhere (a missing
file, or a #part no heading of that page makes), on a page of docs/ the
README does not link, and on a README past 250 lines: the front page stays
short. Run from the repository root; lists each fault."""
import glob
import os
import re
import sys

LINK = re.compile(r"\]\(([^)\s]+)\)")


def anchors(path):
    """The #parts a page's headings make, as the repository's web view makes them."""
    with open(path, encoding="utf-8") as f:
        headings = [line.lstrip("#").strip() for line in f if line.startswith("#")]
    return {re.sub(r"[^\w\- ]", "", h.lower()).replace(" ", "-") for h in headings}


pages = ["README.md"] + sorted(glob.glob("docs/*.md"))
faults, linked = [], set()
for page in pages:
    with open(page, encoding="utf-8") as f:
        text = f.read()
    for target in LINK.findall(text):
        if re.match(r"[a-z]+:", target):
            continue
        path, _, part = target.partition("#")
        path = os.path.normpath(os.path.join(os.path.dirname(page), path)) if path else page
        if page == "README.md":
            linked.add(path)
        if not os.path.isfile(path):
            faults.append(f"{page}: {target}: no such file")
        elif part and path.endswith(".md") and part not in anchors(path):
            faults.append(f"{page}: {target}: no such heading")
    if page == "README.md" and text.count("\n") > 250:
        faults.append(f"README.md: {text.count(chr(10))} lines, more than 250")
faults += [f"README.md: does not link {page}" for page in pages[1:] if page not in linked]
if faults:
    print("\n".join(faults))
sys.exit(1 if faults else 0)

#!/usr/bin/env python3
"""Fails on an include that points up the layer order
platform -> store -> driver -> dialogs, editor -> shell -> cli.
Lower layers must build and be tested without what sits above them.
Run from the repository root; lists each offending include."""
import os
import re
import sys

LEVEL = {"res": 0, "platform": 0, "store": 1, "driver": 2, "dialogs": 3, "editor": 3,
         "shell": 4, "cli": 5}
INCLUDE = re.compile(r'\s*#\s*include\s+"([a-z_]+)/')

bad = 0
for top, level in LEVEL.items():
    for root, _, files in os.walk(top):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(root, name)
            with open(path, encoding="latin-1") as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if match and LEVEL.get(match.group(1), -1) > level:
                        print(f"{path}:{number}: {line.strip()} points up from {top}/")
                        bad += 1
sys.exit(1 if bad else 0)

#!/usr/bin/env python3
"""Fails when a program holds an instruction a Pentium (P54C) or K6 lacks:
the Pentium Pro's cmov, fcmov, fcomi, fucomi and long NOPs, MMX, SSE and
later additions. Names each such instruction, its address, the function it
lies in and the file the link took it from.

Only code is read. The link map says which parts of .text came from code
sections; the rest (the exception tables the linker keeps there, the
constructor lists) is data, which a disassembler would read as instructions
too. Function names come from an unstripped link of the same program, whose
.text must be the shipped program's byte for byte.

Usage: check-i586.py EXE LINK_MAP [UNSTRIPPED_EXE]"""
import os
import re
import subprocess
import sys

OBJDUMP = os.environ.get("OBJDUMP", "i686-w64-mingw32-objdump")

# Mnemonics (as objdump writes them) of instructions these processors lack.
LACKING_PREFIXES = ("cmov", "fcmov", "fcomi", "fucomi", "fisttp", "prefetch", "movnt")
LACKING = {
    "emms", "femms", "ldmxcsr", "stmxcsr", "sfence", "lfence", "mfence", "clflush",
    "fxsave", "fxrstor", "sysenter", "sysexit", "rdpmc", "popcnt", "lzcnt", "tzcnt",
    "movbe", "crc32", "rdrand", "rdseed", "xgetbv",
}
# MMX, SSE and AVX registers.
VECTOR_REGISTER = re.compile(r"%[xyz]?mm\d")
PREFIXES = {"lock", "rep", "repz", "repnz", "repe", "repne", "data16", "data32", "addr16",
            "addr32", "cs", "ds", "es", "fs", "gs", "ss", "notrack", "bnd"}
CODE_SECTION = re.compile(r"^\.(text|init|fini)([.$].*)?$")


def code_ranges(map_path):
    """The [start, end) ranges of .text that came from code sections, and for
    every input section (code or not) its start and file, to name origins."""
    ranges, sections = [], []
    in_text = False
    pending = None
    with open(map_path, encoding="latin-1") as link_map:
        for line in link_map:
            line = line.rstrip("\n")
            if re.match(r"^\.text\s", line):
                in_text = True
                continue
            if in_text and re.match(r"^\S", line):
                break
            if not in_text:
                continue
            placed = None
            if pending is not None:
                match = re.match(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*)$", line)
                placed = (pending,) + match.groups() if match else None
                pending = None
            else:
                match = re.match(r"^ (\.[^\s*]\S*)(?:\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)\s+(\S.*))?$", line)
                if match and match.group(2) is None:
                    pending = match.group(1)
                elif match:
                    placed = match.groups()
            if placed:
                name, start, size, origin = placed[0], int(placed[1], 16), int(placed[2], 16), placed[3]
                if size:
                    sections.append((start, origin))
                    if CODE_SECTION.match(name):
                        ranges.append([start, start + size])
    ranges.sort()
    merged = []
    data_starts = sorted(start for start, _ in sections
                         if not any(r[0] == start for r in ranges))
    for start, end in ranges:
        # Alignment fill between two code sections is read with them.
        if merged and not any(merged[-1][1] <= d < start for d in data_starts):
            merged[-1][1] = max(merged[-1][1], end)
        else:
            merged.append([start, end])
    return merged, sorted(sections)


def text_bytes(exe):
    dump = subprocess.run([OBJDUMP, "-s", "-j", ".text", exe], check=True,
                          capture_output=True, text=True).stdout
    return dump.split("Contents of section .text:", 1)[-1]


def offending(mnemonic, operands):
    # "(bad)": bytes in code that decode to no instruction at all.
    if mnemonic.startswith(LACKING_PREFIXES) or mnemonic in LACKING or mnemonic == "(bad)":
        return True
    if mnemonic.startswith("nop") and operands:
        return True  # the long NOP, 0f 1f
    return bool(VECTOR_REGISTER.search(operands))


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    exe, map_path = sys.argv[1], sys.argv[2]
    symbols = sys.argv[3] if len(sys.argv) == 4 else exe
    name = os.path.basename(exe)
    if symbols != exe and text_bytes(symbols) != text_bytes(exe):
        print(f"FAIL: {os.path.basename(symbols)}'s code is not {name}'s: relink both")
        return 1
    ranges, sections = code_ranges(map_path)
    if not ranges:
        print(f"FAIL: no code sections found in {map_path}")
        return 1

    def origin(address):
        found = "?"
        for start, file in sections:
            if start > address:
                break
            found = file
        return os.path.basename(found)

    findings, count, size = [], 0, 0
    for start, end in ranges:
        size += end - start
        dump = subprocess.run([OBJDUMP, "-d", "-C", "--no-show-raw-insn",
                               f"--start-address={start:#x}", f"--stop-address={end:#x}", symbols],
                              check=True, capture_output=True, text=True).stdout
        function = "?"
        for line in dump.splitlines():
            label = re.match(r"^[0-9a-f]+ <(.*)>:$", line)
            if label:
                function = re.sub(r"\+0x[0-9a-f]+$", "", label.group(1))
                continue
            insn = re.match(r"^\s+([0-9a-f]+):\s+(.*)$", line)
            if not insn:
                continue
            words = insn.group(2).split()
            while words and words[0] in PREFIXES:
                words.pop(0)
            if not words:
                continue
            count += 1
            mnemonic, operands = words[0], " ".join(words[1:]).split("#")[0].strip()
            if offending(mnemonic, operands):
                address = int(insn.group(1), 16)
                findings.append(f"{name}: {mnemonic} {operands} at {address:#x} in {function}"
                                f" (from {origin(address)})")
    for finding in findings:
        print("FAIL: " + finding)
    print(f"{name}: {count} instructions in {size} bytes of code, {len(findings)} that a"
          " Pentium (P54C) or K6 lacks")
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Side-by-side footprint benchmark: tarnwick.exe against a minimal tray
program built by the same compiler, started alternately in one Wine prefix.

Runs inside the Wine environment of scripts/with-wine.sh (WINEPREFIX and
DISPLAY set). The Windows-side bench_driver.exe starts the programs and takes
the times and psapi memory counters; this script adds what Linux sees of the
wine process (CPU time and context switches, from /proc), takes medians and
prints the table. Only the ratios of one run mean anything on a shared,
noisy machine.
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

PROFILE = "Bench Game"


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


class Driver:
    """bench_driver.exe: one command line in, one line of key=value out."""

    def __init__(self, exe):
        self.proc = subprocess.Popen(["wine", exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, bufsize=1)

    def ask(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        answer = self.proc.stdout.readline()
        if not answer:
            sys.exit("bench: the driver ended")
        fields = dict(f.split("=", 1) for f in answer.split())
        if "error" in fields:
            sys.exit(f"bench: '{line}' failed: {answer.strip()}")
        return fields

    def close(self):
        self.proc.stdin.write("quit\n")
        self.proc.stdin.close()
        self.proc.wait(timeout=30)


def linux_pid(exe):
    """The wine process of this prefix running exe (one runs at a time)."""
    wanted = windows_path(exe).lower()
    prefix = ("WINEPREFIX=" + os.environ["WINEPREFIX"]).encode()
    for _ in range(100):
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open(f"/proc/{entry}/cmdline", "rb") as f:
                    argv0 = f.read().split(b"\0")[0].decode(errors="replace")
                if argv0.lower() != wanted:
                    continue
                with open(f"/proc/{entry}/environ", "rb") as f:
                    if prefix not in f.read().split(b"\0"):
                        continue
            except OSError:
                continue
            return int(entry)
        time.sleep(0.05)
    sys.exit(f"bench: no wine process for {exe}")


def cpu_and_switches(pid):
    """CPU seconds and context switches of every thread of a process."""
    ticks = os.sysconf("SC_CLK_TCK")
    cpu = 0.0
    switches = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            cpu += (int(fields[11]) + int(fields[12])) / ticks  # utime, stime
            with open(f"/proc/{pid}/task/{task}/status") as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        switches += int(line.split()[1])
        except (OSError, IndexError):
            continue  # a thread that ended meanwhile
    return cpu, switches


def wait_until_idle(pid, quiet=1.0, limit=15.0):
    """Waits until the process has used no CPU for `quiet` seconds."""
    start = time.monotonic()
    last = cpu_and_switches(pid)[0]
    since = time.monotonic()
    while time.monotonic() - start < limit:
        time.sleep(0.25)
        now = cpu_and_switches(pid)[0]
        if now != last:
            last, since = now, time.monotonic()
        elif time.monotonic() - since >= quiet:
            return
    print(f"bench: warning: process {pid} did not settle within {limit:.0f} s", file=sys.stderr)


def tray_run(driver, program, idle_seconds):
    name, window_class, exe = program
    started = driver.ask(f'start {window_class} "{windows_path(exe)}"')
    if float(started["window_ms"]) < 0 or float(started["tray_ms"]) < 0:
        sys.exit(f"bench: {name}: no main window or tray icon: {started}")
    pid = linux_pid(exe)
    wait_until_idle(pid)
    memory = driver.ask(f"memory {started['pid']}")
    cpu0, switches0 = cpu_and_switches(pid)
    time.sleep(idle_seconds)
    cpu1, switches1 = cpu_and_switches(pid)
    driver.ask(f"stop {started['pid']}")
    return {
        "window_ms": float(started["window_ms"]),
        "tray_ms": float(started["tray_ms"]),
        "private_kb": int(memory["private_bytes"]) / 1024,
        "working_set_kb": int(memory["working_set"]) / 1024,
        "idle_cpu_ms": (cpu1 - cpu0) * 1000,
        "idle_switches": switches1 - switches0,
    }


def command_line_run(driver, record, command):
    ran = driver.ask(f"run {windows_path(record)} {command}")
    if float(ran["exit_ms"]) < 0 or float(ran["record_ms"]) < 0 or ran["exit_code"] != "0":
        sys.exit(f"bench: command-line run failed: {command}: {ran}")
    return {"exit_ms": float(ran["exit_ms"]), "game_ms": float(ran["record_ms"])}


def handed_over_run(driver, record, exe, command):
    """A game's icon beside the tray copy: it hands the run over and ends."""
    started = driver.ask(f'start TForm2 "{windows_path(exe)}"')
    sample = command_line_run(driver, record, command)
    time.sleep(2.0)  # the tray copy's watch (polled each second) gives the game back
    driver.ask(f"stop {started['pid']}")
    return sample


def stripped_size(exe):
    with tempfile.NamedTemporaryFile(suffix=".exe") as out:
        subprocess.run(["i686-w64-mingw32-strip", "-o", out.name, exe], check=True)
        return os.path.getsize(out.name) / 1024


def plant_registry(args, record, work):
    """Driver entry, card model and one profile that starts the stand-in game."""
    game_params = f"--record={windows_path(record)} --sleep=0 --exit=0"
    reg = os.path.join(work, "bench.reg")
    with open(args.fixture, encoding="latin-1") as f:
        text = f.read()

    def q(s):
        return s.replace("\\", "\\\\").replace('"', '\\"')

    text += f"""
[HKEY_CURRENT_USER\\Software\\Wine]
"Version"="{args.winver}"

[-HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick]

[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick]
"VoodooType"=dword:0000157c

[HKEY_CURRENT_USER\\Software\\Hexmoor\\Tarnwick\\{PROFILE}]
"FilePath"="{q(windows_path(args.game))}"
"Parameters"="{q(game_params)}"
"Directory"="{q(windows_path(work))}"
"Poll"=dword:00000001
"""
    with open(reg, "w", encoding="latin-1", newline="\r\n") as f:
        f.write(text)
    subprocess.run(["wine", "regedit", "/S", windows_path(reg)], check=True)
    return game_params


def median(samples, key):
    return statistics.median(s[key] for s in samples)


def ratio(a, b):
    return f"{a / b:.2f}" if b else "—"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--tarnwick", required=True)
    parser.add_argument("--tray", required=True, help="the minimal tray program")
    parser.add_argument("--reference", required=True, help="the reference launcher")
    parser.add_argument("--driver", required=True, help="bench_driver.exe")
    parser.add_argument("--game", required=True, help="the stand-in game")
    parser.add_argument("--fixture", required=True, help="a driver layout .reg file")
    parser.add_argument("--work", required=True, help="a folder for the run's files")
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--idle", type=float, default=20.0, help="idle window in seconds")
    parser.add_argument("--winver", default="winxp")
    args = parser.parse_args()

    if " " in os.path.abspath(args.work):
        sys.exit("bench: the work folder's path must not contain blanks")
    os.makedirs(args.work, exist_ok=True)
    record = os.path.join(args.work, "game-record.txt")
    game_params = plant_registry(args, record, args.work)

    programs = [("tarnwick", "TForm2", args.tarnwick), ("minimal", "MinimalTray", args.tray)]
    launches = {
        "tarnwick": f'"{windows_path(args.tarnwick)}" {PROFILE}',
        "minimal": (f'"{windows_path(args.reference)}" "{windows_path(args.game)}" '
                    f'"{game_params}" "{windows_path(args.work)}"'),
    }
    driver = Driver(args.driver)
    tray = {"tarnwick": [], "minimal": []}
    runs = {"tarnwick": [], "minimal": []}
    handed = []  # tarnwick.exe beside its tray copy
    print(f"bench: {args.runs} runs each after one warm-up, {args.idle:.0f} s idle windows, "
          f"Wine reporting {args.winver}", flush=True)
    try:
        for round_ in range(args.runs + 1):
            # Alternate, and swap who goes first each round.
            order = programs if round_ % 2 == 0 else programs[::-1]
            for program in order:
                sample = tray_run(driver, program, args.idle)
                if round_ > 0:
                    tray[program[0]].append(sample)
            for name in [p[0] for p in order]:
                sample = command_line_run(driver, record, launches[name])
                if round_ > 0:
                    runs[name].append(sample)
            sample = handed_over_run(driver, record, args.tarnwick, launches["tarnwick"])
            if round_ > 0:
                handed.append(sample)
            print(f"bench: round {round_}/{args.runs} done{' (warm-up)' if round_ == 0 else ''}",
                  flush=True)
    finally:
        driver.close()

    beside = {"tarnwick": handed, "minimal": runs["minimal"]}
    rows = [
        ("start to main window (ms)", tray, "window_ms", "{:.0f}"),
        ("start until the tray icon exists (ms)", tray, "tray_ms", "{:.0f}"),
        ("private bytes once idle (KB)", tray, "private_kb", "{:,.0f}"),
        ("working set once idle (KB)", tray, "working_set_kb", "{:,.0f}"),
        (f"CPU time over {args.idle:.0f} s idle (ms)", tray, "idle_cpu_ms", "{:.0f}"),
        (f"context switches over {args.idle:.0f} s idle", tray, "idle_switches", "{:.0f}"),
        ("command-line run, no tray copy: start until the game ran (ms)", runs, "game_ms",
         "{:.0f}"),
        ("command-line run, no tray copy: start to its end (ms)", runs, "exit_ms", "{:.0f}"),
        ("command-line run, tray copy running: start until the game ran (ms)", beside, "game_ms",
         "{:.0f}"),
        ("command-line run, tray copy running: start to its end (ms)", beside, "exit_ms",
         "{:.0f}"),
    ]
    print()
    print(f"| Figure (median of {args.runs}) | tarnwick.exe | minimal tray program | ratio |")
    print("|---|---|---|---|")
    for label, samples, key, fmt in rows:
        a, b = median(samples["tarnwick"], key), median(samples["minimal"], key)
        print(f"| {label} | {fmt.format(a)} | {fmt.format(b)} | {ratio(a, b)} |")
    a, b = stripped_size(args.tarnwick), stripped_size(args.tray)
    print(f"| stripped exe (KB) | {a:,.0f} | {b:,.0f} | {ratio(a, b)} |")
    print()
    print("The command-line rows compare tarnwick.exe running a profile with the reference")
    print("launcher (one hidden window, ShellExecuteExA of the same stand-in game). With")
    print("reloading on, tarnwick.exe without a tray copy watches the game and ends after it")
    print("(polled each second); beside the tray copy it hands the run over and ends.")


if __name__ == "__main__":
    main()

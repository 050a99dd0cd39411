#!/usr/bin/env bash
# Runs the import checker on the probe program, whose imports are known, and
# fails unless exactly the expected ones are reported, each for the Windows
# that lacks it.
set -uo pipefail
checker=${1:?usage: check_imports_selftest.sh CHECKER PROBE_EXE}
probe=${2:?usage: check_imports_selftest.sh CHECKER PROBE_EXE}

out=$(bash "$checker" "$probe" 2>&1)
rc=$?
echo "$out"
fail=0
if ((rc != 1)); then echo "FAIL: checker exit code $rc, expected 1"; fail=1; fi

must_report=(
  "Windows 98 SE: kernel32.dll GetTickCount64: not exported"
  "Windows 98 SE: comctl32.dll DefSubclassProc: exported only by ordinal"
  "Windows 98 SE: user32.dll SetLayeredWindowAttributes: known to be missing"
  "Windows 98 SE: version.dll GetFileVersionInfoSizeA: DLL not allowed"
  "Windows 95 OSR2: kernel32.dll GetTickCount64: not exported"
  "Windows 95 OSR2: kernel32.dll GetLongPathNameA: not exported"
  "Windows 95 OSR2: user32.dll GetAncestor: known to be missing"
  "Windows 95 OSR2: comctl32.dll DefSubclassProc:"
  "Windows 95 OSR2: msvcrt.dll __p__mbcasemap: not exported (msvcrt-4.20.txt)"
  "would not load on Windows 98 SE"
  "would not load on Windows 95 OSR2"
)
for line in "${must_report[@]}"; do
  grep -qF -- "$line" <<<"$out" || { echo "FAIL: not reported: $line"; fail=1; }
done

# Present where the checker must let them pass: everywhere, or on 98 SE.
must_pass=(
  "Windows 98 SE: kernel32.dll GetLongPathNameA"
  "Windows 98 SE: user32.dll GetAncestor"
  "Windows 98 SE: msvcrt.dll __p__mbcasemap"
  " InitCommonControls:" " GetTickCount:" " MessageBoxA:"
)
for line in "${must_pass[@]}"; do
  grep -qF -- "$line" <<<"$out" && { echo "FAIL: wrongly reported: $line"; fail=1; }
done
exit $fail

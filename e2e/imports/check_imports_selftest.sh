#!/usr/bin/env bash
# Runs the import checker on the probe program, whose imports are known, and
# fails unless exactly the expected ones are reported.
set -uo pipefail
checker=${1:?usage: check_imports_selftest.sh CHECKER PROBE_EXE}
probe=${2:?usage: check_imports_selftest.sh CHECKER PROBE_EXE}

out=$(bash "$checker" "$probe" 2>&1)
rc=$?
echo "$out"
fail=0
if ((rc != 1)); then echo "FAIL: checker exit code $rc, expected 1"; fail=1; fi

must_report=(
  "kernel32.dll GetTickCount64: not exported"
  "comctl32.dll DefSubclassProc: exported only by ordinal"
  "user32.dll SetLayeredWindowAttributes: known to be missing"
  "version.dll GetFileVersionInfoSizeA: DLL not allowed"
)
for line in "${must_report[@]}"; do
  grep -qF -- "$line" <<<"$out" || { echo "FAIL: not reported: $line"; fail=1; }
done

must_pass=(InitCommonControls GetTickCount MessageBoxA)
for fn in "${must_pass[@]}"; do
  grep -qE -- " $fn:" <<<"$out" && { echo "FAIL: wrongly reported: $fn"; fail=1; }
done
exit $fail

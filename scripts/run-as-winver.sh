#!/usr/bin/env bash
# Runs a Windows program under Wine with the Windows version Wine reports to it
# pinned first (a program cannot change that after it has started).
# Needs the Wine environment of with-wine.sh.
#
# Usage: run-as-winver.sh VERSION PROGRAM.exe [ARGUMENTS...]   (VERSION: win98, win2k, winxp, ...)
set -euo pipefail
version=${1:?usage: run-as-winver.sh VERSION PROGRAM.exe [ARGUMENTS...]}
program=${2:?usage: run-as-winver.sh VERSION PROGRAM.exe [ARGUMENTS...]}
shift 2
wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$(basename "$program")" \
  /v Version /t REG_SZ /d "$version" /f >/dev/null
exec wine "$program" "$@"

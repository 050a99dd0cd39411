#!/usr/bin/env bash
# The runtime pieces the build compiles again for the Pentium
# (cmake/i586_runtime.cmake) come from the shipped pieces' own sources and
# flags: each one's second build, without -march, must equal the shipped
# piece in its sections, their contents and relocations, and its global
# symbols; only the debugging information and the compiler's name
# (.rdata$zzz) may differ.
#
# Usage: check-runtime-rebuild.sh RUNTIME_DIR (with pieces.txt and reference/)
set -euo pipefail
dir=${1:?usage: check-runtime-rebuild.sh RUNTIME_DIR}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
nm=${NM:-i686-w64-mingw32-nm}
ar=${AR:-i686-w64-mingw32-ar}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

describe() {
  local object=$1 sections=() section
  for section in $("$objdump" -h "$object" | awk '/^ +[0-9]+ /{print $2}'); do
    [[ $section == .debug_* || $section == '.rdata$zzz' ]] || sections+=(-j "$section")
  done
  # Names and sizes of the sections (not where the file holds them), their
  # contents and relocations, the global symbols.
  { "$objdump" -h "${sections[@]}" "$object" | awk '/^ +[0-9]+ /{print $2, $3}'
    "$objdump" -s -r "${sections[@]}" "$object"
    "$nm" -g "$object"; } | sed "s|$object|OBJECT|"
}

status=0
count=0
while read -r piece shipped; do
  shipped_object=$shipped
  if [[ $shipped == *.a ]]; then
    (cd "$work" && "$ar" x "$shipped" "$piece")
    shipped_object=$work/$piece
  fi
  if diff <(describe "$shipped_object") <(describe "$dir/reference/$piece") >"$work/diff"; then
    echo "$piece: as shipped in $shipped"
  else
    echo "FAIL: $piece differs from the one in $shipped:"
    head -20 "$work/diff"
    status=1
  fi
  count=$((count + 1))
done <"$dir/pieces.txt"
((count > 0)) || { echo "FAIL: no pieces listed in $dir/pieces.txt"; status=1; }
exit $status

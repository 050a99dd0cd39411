#!/usr/bin/env bash
# What tarnwick.exe costs before it does anything, checked as figures:
# - its size, stripped, against a bound;
# - no import of the DLLs it loads only when first needed (comctl32, comdlg32,
#   ole32: platform/win32/lazy_init.h), since an import loads them at start;
# - from its link map, no runtime part the build keeps out on purpose (the
#   default terminate handler's demangler, the printf family, the standard
#   error classes, whose catch would silently miss here: see
#   platform/win32/library_errors.cpp, the library's object holding every
#   string member, its per-thread and pooled exception memory, and the tree
#   behind std::map and std::set), with what pulled it in.
#
# Usage: check-footprint.sh EXE MAX_BYTES [LINK_MAP]
set -euo pipefail

exe=${1:?usage: check-footprint.sh EXE MAX_BYTES [LINK_MAP]}
bound=${2:?usage: check-footprint.sh EXE MAX_BYTES [LINK_MAP]}
map=${3:-}
strip=${STRIP:-i686-w64-mingw32-strip}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}
on_demand=(comctl32 comdlg32 ole32)

[[ -f $exe ]] || { echo "check-footprint: no such file: $exe" >&2; exit 2; }

stripped=$(mktemp)
trap 'rm -f "$stripped"' EXIT
"$strip" -o "$stripped" "$exe"
size=$(stat -c %s "$stripped")

status=0
echo "stripped $(basename "$exe"): $size bytes, bound $bound, headroom $((bound - size))"
if (( size > bound )); then
  echo "FAIL: $((size - bound)) bytes over the bound"
  status=1
fi

imported=$("$objdump" -p "$exe" | awk '/^[ \t]*DLL Name:/ {print tolower($3)}')
for dll in "${on_demand[@]}"; do
  if grep -qx "$dll.dll" <<<"$imported"; then
    echo "FAIL: $dll.dll is imported, so it loads at start; reach it through platform/win32/lazy_init.h"
    "$objdump" -p "$exe" | awk -v d="$dll.dll" '
      /^[ \t]*DLL Name:/ {on = (tolower($3) == d); next}
      on && NF == 0 {on = 0}
      on && NF >= 3 && $1 ~ /^[0-9a-fA-F]+$/ {print "  imports " $3}'
    status=1
  fi
done

if [[ -n $map ]]; then
  [[ -f $map ]] || { echo "check-footprint: no such link map: $map" >&2; exit 2; }
  # Archive members (as the map names them), and what they hold.
  unwanted=(
    '(vterminate.o):the verbose terminate handler'
    '(cp-demangle.o):the name demangler'
    'mingw_pformat.o):the printf family'
    '(stdexcept.o):the standard error classes'
    '(cow-stdexcept.o):the standard error classes'
    '(cow-string-inst.o):the second string implementation'
    '(string-inst.o):every string member at once (platform/win32/string_instances.cpp)'
    '(eh_alloc.o):the pooled exception memory (platform/win32/exception_memory.cpp)'
    '(eh_globals.o):the per-thread exception state (platform/win32/exception_memory.cpp)'
    '(emutls.o):emulated thread-local storage'
    '(tree.o):the tree behind std::map and std::set'
  )
  # The map's first section lists each archive member pulled in, followed by
  # the file and symbol that needed it.
  pulled=$(awk '/^Archive member included/ {on = 1; next}
                on && /^(Discarded|Allocating|Memory)/ {exit}
                on' "$map")
  # Who needed a member: the line under it. Followed through other archive
  # members until the program's own file shows up.
  needed_by() {
    local member=$1 chain="" why step
    for step in 1 2 3 4 5 6; do
      why=$(awk -v m="$member" 'hit {sub(/^ +/, ""); print; exit}
                                /^[^ ]/ && index($0, m) {hit = 1}' <<<"$pulled")
      [[ -n $why ]] || break
      chain+=" <- ${why##*/}"
      [[ $why =~ ^[^\ ]*(\([^\)]*\.o\)) ]] || break
      member=${BASH_REMATCH[1]}
    done
    echo "$chain"
  }
  for entry in "${unwanted[@]}"; do
    member=${entry%%:*}
    if grep -v '^ ' <<<"$pulled" | grep -qF -- "$member"; then
      echo "FAIL: ${entry#*:} linked in$(needed_by "$member")"
      status=1
    fi
  done
fi
exit $status

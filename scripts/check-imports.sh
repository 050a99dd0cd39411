#!/usr/bin/env bash
# Fails when a Windows executable imports anything Windows 98 SE cannot give
# it: a DLL outside the allowed set, or a function the 98 SE DLL does not
# export by name (its loader refuses to start such a program).
#
# Usage: check-imports.sh EXE [EXPORT_LIST_DIR]
# Prints one line per offending import and exits 1 when there is any.
set -euo pipefail

exe=${1:?usage: check-imports.sh EXE [EXPORT_LIST_DIR]}
lists=${2:-$(dirname "$0")/win98-exports}
objdump=${OBJDUMP:-i686-w64-mingw32-objdump}

[[ -f $exe ]] || { echo "check-imports: no such file: $exe" >&2; exit 2; }
command -v "$objdump" >/dev/null || { echo "check-imports: $objdump not found" >&2; exit 2; }

# "dll function" pairs, DLL names in lower case without ".dll".
imports=$("$objdump" -p "$exe" | awk '
  /^[ \t]*DLL Name:/ { dll = tolower($3); sub(/\.dll$/, "", dll); next }
  /^[ \t]*vma:/      { next }
  dll != "" && NF == 0 { dll = ""; next }
  dll != "" && NF >= 3 && $1 ~ /^[0-9a-fA-F]+$/ {
    print dll, ($3 == "<none>" ? "#" $2 : $3)
  }')

if [[ -z $imports ]]; then
  echo "check-imports: no import table found in $exe" >&2
  exit 2
fi

# DLLs whose complete name list is known: an import missing from it fails.
full_list=(kernel32 advapi32 shell32 comctl32 msvcrt)
# DLLs without a complete list: only known absences (deny.txt) fail.
deny_only=(user32 gdi32 ole32 comdlg32)

in_words() { local w=$1; shift; local x; for x; do [[ $x == "$w" ]] && return 0; done; return 1; }

bad=0
while read -r dll fn; do
  if [[ $fn == \#* ]]; then
    echo "$dll.dll ordinal ${fn#\#}: imported by ordinal, cannot be checked"
    bad=1
  elif in_words "$dll" "${full_list[@]}"; then
    if ! grep -qxF -- "$fn" "$lists/$dll.txt"; then
      if [[ -f $lists/$dll.ordinal-only.txt ]] && awk -v f="$fn" '$2 == f { found = 1 } END { exit !found }' "$lists/$dll.ordinal-only.txt"; then
        echo "$dll.dll $fn: exported only by ordinal on Windows 98 SE"
      else
        echo "$dll.dll $fn: not exported by Windows 98 SE"
      fi
      bad=1
    fi
  elif in_words "$dll" "${deny_only[@]}"; then
    if awk -v d="$dll" -v f="$fn" '$1 == d && $2 == f { found = 1 } END { exit !found }' "$lists/deny.txt"; then
      echo "$dll.dll $fn: known to be missing on Windows 98 SE"
      bad=1
    fi
  else
    echo "$dll.dll $fn: DLL not allowed"
    bad=1
  fi
done <<<"$imports"

if ((bad)); then
  echo "check-imports: $exe would not load on Windows 98 SE" >&2
  exit 1
fi
echo "check-imports: $(wc -l <<<"$imports") imports of $exe are all available on Windows 98 SE"

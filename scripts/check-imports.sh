#!/usr/bin/env bash
# Fails when a Windows executable imports anything an old Windows cannot give
# it: a DLL outside the allowed set, or a function that Windows's DLL does not
# export by name (its loader refuses to start such a program).
#
# Usage: check-imports.sh EXE [EXPORT_LIST_DIR...]
# Without folders it checks against Windows 98 SE and Windows 95 OSR2
# (scripts/win98-exports, scripts/win95-exports). A folder's checked-as.txt
# names the Windows it describes ("name ...") and may point a DLL at another
# list of its folder ("list DLL FILE"): Windows 95 has no MSVCRT.DLL of its
# own, so its msvcrt imports are counted against the oldest one that gets
# installed there, Visual C++ 4.2's.
# Prints one line per offending import, naming the Windows it lacks, and
# exits 1 when there is any.
set -euo pipefail

exe=${1:?usage: check-imports.sh EXE [EXPORT_LIST_DIR...]}
shift
here=$(dirname "$0")
(($#)) || set -- "$here/win98-exports" "$here/win95-exports"
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

# Checks every import against one folder; prints the offenders, returns 1 if any.
check_against() {
  local lists=$1 windows list bad=0 dll fn
  local -A list_of=()
  [[ -f $lists/checked-as.txt ]] || { echo "check-imports: no checked-as.txt in $lists" >&2; exit 2; }
  windows=$(awk '$1 == "name" { sub(/^name[ \t]+/, ""); print; exit }' "$lists/checked-as.txt")
  [[ -n $windows ]] || { echo "check-imports: $lists/checked-as.txt names no Windows" >&2; exit 2; }
  while read -r key dll list; do
    [[ $key == list ]] && list_of[$dll]=$list
  done <"$lists/checked-as.txt"

  while read -r dll fn; do
    list=$lists/${list_of[$dll]:-$dll.txt}
    if [[ $fn == \#* ]]; then
      echo "$windows: $dll.dll ordinal ${fn#\#}: imported by ordinal, cannot be checked"
      bad=1
    elif in_words "$dll" "${full_list[@]}"; then
      [[ -f $list ]] || { echo "check-imports: no list $list" >&2; exit 2; }
      if ! grep -qxF -- "$fn" "$list"; then
        if [[ -f ${list%.txt}.ordinal-only.txt ]] &&
           awk -v f="$fn" '$2 == f { found = 1 } END { exit !found }' "${list%.txt}.ordinal-only.txt"; then
          echo "$windows: $dll.dll $fn: exported only by ordinal"
        else
          echo "$windows: $dll.dll $fn: not exported (${list##*/})"
        fi
        bad=1
      fi
    elif in_words "$dll" "${deny_only[@]}"; then
      if awk -v d="$dll" -v f="$fn" '$1 == d && $2 == f { found = 1 } END { exit !found }' "$lists/deny.txt"; then
        echo "$windows: $dll.dll $fn: known to be missing"
        bad=1
      fi
    else
      echo "$windows: $dll.dll $fn: DLL not allowed"
      bad=1
    fi
  done <<<"$imports"

  if ((bad)); then
    echo "check-imports: $exe would not load on $windows" >&2
    return 1
  fi
  echo "check-imports: $(wc -l <<<"$imports") imports of $exe are all available on $windows"
}

status=0
for lists; do
  check_against "$lists" || status=1
done
exit $status

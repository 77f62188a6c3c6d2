#!/bin/sh
# Every DLL the given Windows executables and libraries import is a system DLL
# (scripts/system-dlls.txt), so they start on a clean Windows: a build that
# lost the static C and C++ runtime (libstdc++-6.dll, libgcc_s_seh-1.dll,
# libwinpthread-1.dll) fails here. DLLs imported through the delay-load helper
# (cmake/delay_load.cmake) count too: GNU ld leaves them out of the import
# tables objdump lists, so their names are read from the .idata section,
# where the delay import descriptors keep them.
#
#   scripts/check-imports.sh FILE...      (OBJDUMP, OBJCOPY: MinGW's)
set -u
OBJDUMP=${OBJDUMP:-x86_64-w64-mingw32-objdump}
OBJCOPY=${OBJCOPY:-x86_64-w64-mingw32-objcopy}
SECTION=$(mktemp)
trap 'rm -f "$SECTION"' EXIT
LIST=$(dirname "$0")/system-dlls.txt
[ $# -ge 1 ] || {
  echo "usage: $0 FILE..." >&2
  exit 2
}
status=0
for file in "$@"; do
  : >"$SECTION"
  "$OBJCOPY" -O binary --only-section=.idata "$file" "$SECTION" 2>/dev/null
  imports=$({
    "$OBJDUMP" -p "$file" 2>/dev/null | sed -n 's/^[[:space:]]*DLL Name: //p'
    strings -a "$SECTION" | grep -i '\.dll$'
  } | tr 'A-Z' 'a-z' | sort -u)
  [ -n "$imports" ] || "$OBJDUMP" -p "$file" >/dev/null 2>&1 || {
    echo "$file: not a file objdump reads" >&2
    status=1
    continue
  }
  for dll in $imports; do
    if grep -qxF "$dll" "$LIST"; then
      echo "$file: $dll"
    else
      echo "$file: $dll is not a system DLL" >&2
      status=1
    fi
  done
done
exit $status

#!/bin/sh
# Makes what a Windows user downloads, from the windows build tree:
#   Varnolet7-<version>-x64.zip        Varnolet7.exe, Language\English.dll,
#                                      Language\Greek.dll, ReadMe.txt
#   Varnolet7-<version>-x64-setup.exe  the installer (NSIS, installer/varnolet7.nsi)
# The executable is a stripped copy of the tree's Varnolet7.exe (the tree keeps
# its symbols for debugging). Reports the sizes of its code and resources, of
# the zip and of the installer, and fails when the executable exceeds the
# budget.
#
#   scripts/dist.sh BUILD_TREE OUTPUT_FOLDER VERSION
#
# Environment: STRIP, OBJDUMP (MinGW's; found on PATH by default), MAKENSIS,
# DIST_EXE_BUDGET (bytes; 900 KB by default).
set -eu

[ $# -eq 3 ] || {
  echo "usage: $0 BUILD_TREE OUTPUT_FOLDER VERSION" >&2
  exit 2
}
SOURCE=$(cd "$(dirname "$0")/.." && pwd)
BUILD=$(cd "$1" && pwd)
mkdir -p "$2"
OUT=$(cd "$2" && pwd)
VERSION=$3
STRIP=${STRIP:-x86_64-w64-mingw32-strip}
OBJDUMP=${OBJDUMP:-x86_64-w64-mingw32-objdump}
MAKENSIS=${MAKENSIS:-makensis}
BUDGET=${DIST_EXE_BUDGET:-921600}

NAME=Varnolet7-$VERSION-x64
STAGE=$BUILD/dist/$NAME
ZIP=$OUT/$NAME.zip
SETUP=$OUT/$NAME-setup.exe

for file in src/Varnolet7.exe src/Language/English.dll src/Language/Greek.dll; do
  [ -f "$BUILD/$file" ] || {
    echo "dist: $BUILD/$file is missing: build the windows tree first" >&2
    exit 1
  }
done

# ---- the program's files, as the user gets them
rm -rf "$STAGE"
mkdir -p "$STAGE/Language"
"$STRIP" --strip-all -o "$STAGE/Varnolet7.exe" "$BUILD/src/Varnolet7.exe"
# The language libraries are linked stripped already; strip again all the same.
for language in English Greek; do
  "$STRIP" --strip-all -o "$STAGE/Language/$language.dll" "$BUILD/src/Language/$language.dll"
done
# The read-me with Windows line ends.
sed "s/@VARNOLET_VERSION@/$VERSION/; s/\$/$(printf '\r')/" "$SOURCE/installer/ReadMe.txt.in" >"$STAGE/ReadMe.txt"
# One time stamp for every file: the same tree gives the same zip.
find "$STAGE" -exec touch -h -d "@${SOURCE_DATE_EPOCH:-$(git -C "$SOURCE" log -1 --format=%ct 2>/dev/null || echo 0)}" {} +

# ---- nothing but system DLLs
OBJDUMP=$OBJDUMP sh "$SOURCE/scripts/check-imports.sh" "$STAGE/Varnolet7.exe" "$STAGE/Language/English.dll" \
  "$STAGE/Language/Greek.dll" >/dev/null

# ---- sizes of the executable: code (.text) and resources (.rsrc)
section_size() {
  printf '%d' "0x$("$OBJDUMP" -h "$1" | awk -v name="$2" '$2 == name { print $3 }')"
}
exe_size=$(wc -c <"$STAGE/Varnolet7.exe" | tr -d ' ')
code_size=$(section_size "$STAGE/Varnolet7.exe" .text)
rsrc_size=$(section_size "$STAGE/Varnolet7.exe" .rsrc)
kb() { awk -v b="$1" 'BEGIN { printf "%.1f KB", b / 1024 }'; }

# ---- the zip: the program's files at its root
rm -f "$ZIP"
(cd "$STAGE" && zip -q -X -r "$ZIP" Varnolet7.exe Language/English.dll Language/Greek.dll ReadMe.txt)

# ---- the installer
rm -f "$SETUP"
"$MAKENSIS" -V2 -NOCD \
  "-DVERSION=$VERSION" "-DSTAGE=$STAGE" "-DOUTFILE=$SETUP" "-DARTWORK=$SOURCE/res/art" \
  "$SOURCE/installer/varnolet7.nsi"
[ -f "$SETUP" ] || {
  echo "dist: makensis made no $SETUP" >&2
  exit 1
}

report=$OUT/$NAME-sizes.txt
{
  printf '%-33s %8d bytes  %s (code .text %s, resources .rsrc %s)\n' Varnolet7.exe \
    "$exe_size" "$(kb "$exe_size")" "$(kb "$code_size")" "$(kb "$rsrc_size")"
  for package in "$ZIP" "$SETUP"; do
    size=$(wc -c <"$package" | tr -d ' ')
    printf '%-33s %8d bytes  %s\n' "$(basename "$package")" "$size" "$(kb "$size")"
  done
} >"$report"
cat "$report"

if [ "$exe_size" -gt "$BUDGET" ]; then
  echo "dist: Varnolet7.exe is $exe_size bytes, over the budget of $BUDGET" >&2
  exit 1
fi

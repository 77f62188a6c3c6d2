# Helpers for the scenarios of the packages (scenarios/install*.sh), sourced
# in place of scenario.sh:
#   . "$(dirname "$0")/../packages.sh"
# Each such scenario has a Wine prefix of its own, made afresh when it starts
# ($RIG_BUILD/e2e-packages/<scenario>), so that nothing another scenario
# left behind (a settings key, a data folder) can make it pass; its artefacts
# go where every scenario's go ($RIG_BUILD/e2e/artifacts/<scenario>).
_source=$(cd "$(dirname "$0")/../../.." && pwd)
RIG_BUILD=${RIG_BUILD:-$_source/build/windows}
RIG_DIR=$RIG_BUILD/e2e-packages/$(basename "$0" .sh)
export RIG_BUILD RIG_DIR
. "$(dirname "$0")/../scenario.sh"
ARTIFACTS=$RIG_BUILD/e2e/artifacts/$SCENARIO

# The packages made by dist.package (scripts/dist.sh).
PACKAGES=${VARNOLET_PACKAGES:-$RIG_BUILD/packages}
if [ -z "${VARNOLET_VERSION:-}" ]; then
  VARNOLET_VERSION=$(ls "$PACKAGES" 2>/dev/null | sed -n 's/^Varnolet7-\(.*\)-x64\.zip$/\1/p' | head -n 1)
fi
SETUP=$PACKAGES/Varnolet7-$VARNOLET_VERSION-x64-setup.exe
ZIP=$PACKAGES/Varnolet7-$VARNOLET_VERSION-x64.zip

UNINSTALL_KEY_USER='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varnolet 7'
UNINSTALL_KEY_MACHINE='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Varnolet 7'
# The files of the zip, one a line, sorted.
PROGRAM_FILES='Language/English.dll
Language/Greek.dll
ReadMe.txt
Varnolet7.exe'

# packages_up: a fresh prefix, the rig on it, the packages present, and the
# zip unpacked into $ARTIFACTS/zip as the reference for the installed files.
packages_up() {
  [ -f "$SETUP" ] || fail "no installer $SETUP (dist.package makes it)"
  [ -f "$ZIP" ] || fail "no zip $ZIP (dist.package makes it)"
  command -v unzip >/dev/null 2>&1 || skip "unzip is not installed"
  sh "$RIG" stop >/dev/null 2>&1
  rm -rf "$RIG_DIR/wineprefix"
  rig_up
  mkdir -p "$ARTIFACTS/zip"
  unzip -q -o "$ZIP" -d "$ARTIFACTS/zip" || fail "could not unzip $ZIP"
}

# windows_path NAME: the value of the environment variable NAME in the prefix
# (%LOCALAPPDATA%, %ProgramFiles%, ...); unix_folder NAME: its Unix path.
windows_path() { rig wine cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r'; }
unix_folder() { rig unixpath "$(windows_path "$1")" | sed 's:/$::'; }

# files_of FOLDER: the files under FOLDER, relative, one a line, sorted.
files_of() { (cd "$1" && find . -type f | sed 's:^\./::' | LC_ALL=C sort); }

# same_as_zip FOLDER: each file of the zip is in FOLDER with the same bytes.
same_as_zip() {
  printf '%s\n' "$PROGRAM_FILES" | while read -r _file; do
    cmp -s "$ARTIFACTS/zip/$_file" "$1/$_file" || {
      echo "$_file differs from the zip's" >&2
      return 1
    }
  done
}

# A hotkey map with one record (Ctrl+Shift+1 for a device this machine does
# not have, which the program keeps as it is): the map file's mark, its
# signature, the record count and the record.
write_hotkey_map() {
  _id='{0.0.0.00000000}.{0D15EA5E-0000-4000-8000-00000000AB5E}'
  _i=0
  _flags=
  while [ $_i -lt 48 ]; do
    if [ $_i -eq 13 ]; then _flags="$_flags 01"; else _flags="$_flags 00"; fi
    _i=$((_i + 1))
  done
  # shellcheck disable=SC2046
  write_bytes "$1" EF BB BF C2 D1 CD 2D CC C1 D0 2D D6 C1 C9 CB 01 00 00 00 $_flags 00 01 01 \
    "$(printf '%02x' "$(printf '%s' "$_id" | wc -c)")" 00 00 00 $(hex_of "$_id")
}

# exit_program: Exit in the tray menu (Playback, Recording, Options, Exit).
exit_program() {
  rig tray
  rig choose 4
}

# menu_entries_since FILE: desktop entries and icons for Varnolet 7 that Wine's
# menu builder wrote into the Linux user's home after FILE was made.
menu_entries_since() {
  find "$HOME/.local/share/applications" "$HOME/.local/share/icons" "$HOME/.config/menus" \
    -newer "$1" -iname '*varnolet*' 2>/dev/null
}

# packages_passed: the scenario passed; its prefix (some 700 MB) goes, the
# artefacts stay. A failed scenario keeps its prefix for a look.
packages_passed() {
  rig stop
  rm -rf "$RIG_DIR/wineprefix"
  step "passed"
}

#!/bin/sh
# The portable zip, in a fresh prefix:
#   - it holds exactly Varnolet7.exe, Language\English.dll, Language\Greek.dll
#     and ReadMe.txt (which names the version), nothing else;
#   - unzipped into a folder of the user's choice, the program starts from there
#     with the Greek texts of the Language folder beside it, shows its tray
#     icon, and its Exit writes VRN.log naming that path.
set -u
. "$(dirname "$0")/../packages.sh"

step "the zip's contents"
[ -f "$ZIP" ] || fail "no zip $ZIP (dist.package makes it)"
expect_eq "$(unzip -Z1 "$ZIP" | LC_ALL=C sort)" "$PROGRAM_FILES" "files in the zip"

packages_up
grep -q "^Varnolet 7 $VARNOLET_VERSION" "$ARTIFACTS/zip/ReadMe.txt" || fail "ReadMe.txt does not name version $VARNOLET_VERSION"

# (Not the user's Downloads folder: Wine links it to the Linux home.)
step "unzipped into a folder of the user's choice"
FOLDER_WIN='C:\Portable\Varnolet 7'
FOLDER=$(rig unixpath "$FOLDER_WIN")
mkdir -p "$FOLDER"
unzip -q "$ZIP" -d "$FOLDER" || fail "could not unzip into $FOLDER"

step "the program runs from there, in Greek"
rig wine reg delete "$SETTINGS_KEY" /f </dev/null >/dev/null 2>&1
set_setting Language 1
RUN=$ARTIFACTS/run.txt
rig program --record "$RUN" "$FOLDER_WIN\\Varnolet7.exe"
rig wait-tray 60
rig tray
sleep 1
rig screenshot "$ARTIFACTS/menu-greek.png"
rig keys Escape
exit_program
wait_until 30 rig exit-code "$RUN" >/dev/null || fail "the program did not end after Exit"
expect_eq "$(rig exit-code "$RUN")" 0 "exit code after Exit"
DATA=$(data_folder)
[ -f "$DATA/VRN.log" ] || fail "no VRN.log after Exit"
log_texts "$DATA/VRN.log" >"$ARTIFACTS/texts.txt"
in_order "$ARTIFACTS/texts.txt" "Get application path . . . " "  -$FOLDER_WIN\\Varnolet7.exe" \
  "Loading string resources . . ." "  -String resources loaded" ||
  fail "VRN.log lacks the unzipped path or the loaded texts (see $ARTIFACTS/texts.txt)"
packages_passed

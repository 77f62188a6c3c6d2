#!/bin/sh
# The installer for every user (/AllUsers) and the uninstaller with the
# user's data ticked for removal (/RemoveUserData), in a fresh prefix:
#   - setup.exe /S /AllUsers installs the zip's files and Uninstall.exe under
#     %ProgramFiles%\Varnolet 7, the shortcut into the Start menu of all
#     users, the Programs and Features entry under HKLM; nothing in the
#     user's programs folder and no entry under HKCU;
#   - the installed program starts from Program Files and shows its tray icon;
#   - Uninstall.exe /S /RemoveUserData, run while the program runs, closes it
#     as its Exit does (exit code 0) and removes the folder, the shortcut, the
#     entry, and also %APPDATA%\Varnolet 7 and the settings key.
set -u
. "$(dirname "$0")/../packages.sh"

packages_up

step "silent install for every user"
rig wine "$(winpath "$SETUP")" /S /AllUsers </dev/null >/dev/null 2>&1
INSTDIR_WIN="$(windows_path ProgramFiles)\\Varnolet 7"
INSTDIR=$(rig unixpath "$INSTDIR_WIN")
wait_until 30 test -f "$INSTDIR/Uninstall.exe" || fail "nothing installed in $INSTDIR_WIN"
expect_eq "$(files_of "$INSTDIR")" "$(printf '%s\n' "$PROGRAM_FILES" Uninstall.exe | LC_ALL=C sort)" "installed files"
same_as_zip "$INSTDIR" || fail "the installed files are not the zip's"
USER_INSTDIR="$(unix_folder LOCALAPPDATA)/Programs/Varnolet 7"
[ ! -e "$USER_INSTDIR" ] || fail "something was installed into the user's programs folder too"

step "the shortcut in the Start menu of all users"
SHORTCUT="$(unix_folder ProgramData)/Microsoft/Windows/Start Menu/Programs/Varnolet 7.lnk"
[ -f "$SHORTCUT" ] || fail "no shortcut $SHORTCUT"
grep -aq 'Varnolet7.exe' "$SHORTCUT" || fail "the shortcut does not point at Varnolet7.exe"
[ ! -e "$(unix_folder APPDATA)/Microsoft/Windows/Start Menu/Programs/Varnolet 7.lnk" ] ||
  fail "a shortcut in the user's own Start menu too"

step "the Programs and Features entry under HKLM"
registry_values "$UNINSTALL_KEY_MACHINE" >"$ARTIFACTS/uninstall-key.txt"
expect_eq "$(registry_value "$UNINSTALL_KEY_MACHINE" DisplayName)" "$(printf 'REG_SZ\tVarnolet 7')" DisplayName
expect_eq "$(registry_value "$UNINSTALL_KEY_MACHINE" DisplayVersion)" \
  "$(printf 'REG_SZ\t%s' "$VARNOLET_VERSION")" DisplayVersion
expect_eq "$(registry_value "$UNINSTALL_KEY_MACHINE" Publisher)" "$(printf 'REG_SZ\tKestrova Technologies')" Publisher
expect_eq "$(registry_value "$UNINSTALL_KEY_MACHINE" UninstallString)" \
  "$(printf 'REG_SZ\t"%s\\Uninstall.exe"' "$INSTDIR_WIN")" UninstallString
expect_eq "$(registry_values "$UNINSTALL_KEY_USER")" "" "the user's entry"

step "the installed program starts from Program Files"
DATA=$(data_folder)
RUN=$ARTIFACTS/run.txt
rig program --record "$RUN" "$INSTDIR_WIN\\Varnolet7.exe"
rig wait-tray 60
rig screenshot "$ARTIFACTS/installed-running.png"
exit_program
wait_until 30 rig exit-code "$RUN" >/dev/null || fail "the program did not end after Exit"
expect_eq "$(rig exit-code "$RUN")" 0 "exit code after Exit"
[ -f "$DATA/VRN.log" ] || fail "no VRN.log after Exit"
log_texts "$DATA/VRN.log" >"$ARTIFACTS/texts.txt"
in_order "$ARTIFACTS/texts.txt" "Get application path . . . " "  -$INSTDIR_WIN\\Varnolet7.exe" ||
  fail "VRN.log does not name the installed path (see $ARTIFACTS/texts.txt)"
[ -n "$(registry_values "$SETTINGS_KEY")" ] || fail "the program made no settings key"
rig wait-exit 30 || fail "the desktop did not close after Exit"

step "uninstall while the program runs, removing the user's data too"
AGAIN=$ARTIFACTS/run-again.txt
rig program --record "$AGAIN" "$INSTDIR_WIN\\Varnolet7.exe"
rig wait-tray 60
rig launch "$ARTIFACTS/uninstaller.txt" "$INSTDIR_WIN\\Uninstall.exe" /S /RemoveUserData
wait_until 60 rig exit-code "$AGAIN" >/dev/null || fail "the uninstaller did not close the running program"
expect_eq "$(rig exit-code "$AGAIN")" 0 "exit code of the program closed by the uninstaller"
wait_until 60 test ! -e "$INSTDIR" || fail "the program's folder is still there: $(files_of "$INSTDIR" | tr '\n' ' ')"
wait_until 30 test -z "$(registry_values "$UNINSTALL_KEY_MACHINE")" || fail "the Programs and Features entry is still there"
[ ! -e "$SHORTCUT" ] || fail "the shortcut is still there"
wait_until 10 test ! -e "$(dirname "$DATA")" || fail "%APPDATA%\\Varnolet 7 is still there"
expect_eq "$(registry_values "$SETTINGS_KEY")" "" "the settings key after uninstall with /RemoveUserData"
packages_passed

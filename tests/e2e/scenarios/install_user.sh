#!/bin/sh
# The installer for one user, an upgrade over a running program, and the
# uninstaller, in a fresh prefix:
#   - setup.exe /S installs Varnolet7.exe, ReadMe.txt, Language\English.dll,
#     Language\Greek.dll (the zip's bytes) and Uninstall.exe into
#     %LOCALAPPDATA%\Programs\Varnolet 7, the shortcut "Varnolet 7" into the
#     user's Start menu, and the Programs and Features entry under HKCU
#     (DisplayName, DisplayIcon, DisplayVersion, Publisher, EstimatedSize,
#     UninstallString); nothing under HKLM, no desktop entry in the Linux home;
#   - the installed program starts from its installed path and shows its tray icon;
#   - setup.exe /S again while it runs: the program leaves as its Exit does
#     (VRN.log written, exit code 0) before the files are replaced, a
#     damaged file is replaced and the missing shortcut made again, the
#     settings and the hotkey map stay as they were, and the program runs again;
#   - Uninstall.exe /S removes the program's folder, the shortcut, the entry
#     and the Run value, and keeps %APPDATA%\Varnolet 7 and the settings key.
set -u
. "$(dirname "$0")/../packages.sh"

packages_up
: >"$ARTIFACTS/.before-install"

step "silent install for this user"
rig wine "$(winpath "$SETUP")" /S </dev/null >/dev/null 2>&1
LOCAL=$(windows_path LOCALAPPDATA)
INSTDIR_WIN="$LOCAL\\Programs\\Varnolet 7"
INSTDIR=$(rig unixpath "$INSTDIR_WIN")
wait_until 30 test -f "$INSTDIR/Uninstall.exe" || fail "nothing installed in $INSTDIR_WIN"
expect_eq "$(printf '%s\n' "$PROGRAM_FILES" Uninstall.exe | LC_ALL=C sort)" "$(files_of "$INSTDIR")" "installed files"
same_as_zip "$INSTDIR" || fail "the installed files are not the zip's"

step "the shortcut in the user's Start menu"
START_MENU="$(unix_folder APPDATA)/Microsoft/Windows/Start Menu/Programs"
SHORTCUT="$START_MENU/Varnolet 7.lnk"
[ -f "$SHORTCUT" ] || fail "no shortcut $SHORTCUT"
grep -aq 'Varnolet7.exe' "$SHORTCUT" || fail "the shortcut does not point at Varnolet7.exe"
[ -z "$(menu_entries_since "$ARTIFACTS/.before-install")" ] ||
  fail "Wine's menu builder wrote: $(menu_entries_since "$ARTIFACTS/.before-install")"

step "the Programs and Features entry"
registry_values "$UNINSTALL_KEY_USER" >"$ARTIFACTS/uninstall-key.txt"
expect_eq "$(registry_value "$UNINSTALL_KEY_USER" DisplayName)" "$(printf 'REG_SZ\tVarnolet 7')" DisplayName
expect_eq "$(registry_value "$UNINSTALL_KEY_USER" DisplayIcon)" \
  "$(printf 'REG_SZ\t%s\\Varnolet7.exe,0' "$INSTDIR_WIN")" DisplayIcon
expect_eq "$(registry_value "$UNINSTALL_KEY_USER" DisplayVersion)" "$(printf 'REG_SZ\t%s' "$VARNOLET_VERSION")" \
  DisplayVersion
expect_eq "$(registry_value "$UNINSTALL_KEY_USER" Publisher)" "$(printf 'REG_SZ\tKestrova Technologies')" Publisher
expect_eq "$(registry_value "$UNINSTALL_KEY_USER" UninstallString)" \
  "$(printf 'REG_SZ\t"%s\\Uninstall.exe"' "$INSTDIR_WIN")" UninstallString
size=$(registry_value "$UNINSTALL_KEY_USER" EstimatedSize | sed -n 's/^REG_DWORD\t//p')
[ -n "$size" ] || fail "no REG_DWORD EstimatedSize"
kbytes=$(($(cat "$INSTDIR"/*.* "$INSTDIR"/Language/* | wc -c) / 1024))
[ $((size)) -ge $((kbytes - 1)) ] && [ $((size)) -le $((kbytes + 1)) ] ||
  fail "EstimatedSize $((size)) KB for $kbytes KB of files"
expect_eq "$(registry_values "$UNINSTALL_KEY_MACHINE")" "" "the machine's entry"

step "the installed program starts from its folder"
DATA=$(data_folder)
set_setting Notifications 0
mkdir -p "$DATA"
write_hotkey_map "$DATA/hmap.dat"
cp "$DATA/hmap.dat" "$ARTIFACTS/hmap-written.dat"
FIRST=$ARTIFACTS/first-run.txt
rig program --record "$FIRST" "$INSTDIR_WIN\\Varnolet7.exe"
rig wait-tray 60
rig screenshot "$ARTIFACTS/installed-running.png"
rig exit-code "$FIRST" >/dev/null && fail "the installed program ended: $(cat "$FIRST")"

step "an upgrade while it runs"
printf 'an older read-me\r\n' >"$INSTDIR/ReadMe.txt"
rm -f "$SHORTCUT" "$DATA/VRN.log"
SECOND=$ARTIFACTS/upgrade.txt
rig launch "$SECOND" "$(winpath "$SETUP")" /S
wait_until 60 rig exit-code "$FIRST" >/dev/null || fail "the running program was not closed by the installer"
expect_eq "$(rig exit-code "$FIRST")" 0 "exit code of the program closed by the installer"
[ -f "$DATA/VRN.log" ] || fail "the program closed by the installer wrote no VRN.log"
cp "$DATA/VRN.log" "$ARTIFACTS/VRN-closed-by-installer.log"
log_texts "$DATA/VRN.log" >"$ARTIFACTS/closed-texts.txt"
in_order "$ARTIFACTS/closed-texts.txt" "Get application path . . . " "  -$INSTDIR_WIN\\Varnolet7.exe" ||
  fail "VRN.log does not name the installed path (see $ARTIFACTS/closed-texts.txt)"
wait_until 60 rig exit-code "$SECOND" >/dev/null || fail "the upgrade did not end"
same_as_zip "$INSTDIR" || fail "the upgrade did not replace the files"
[ -f "$SHORTCUT" ] || fail "the upgrade did not make the shortcut again"

step "the program runs again after the upgrade"
restarted() {
  list_windows
  printf '%s\n' "$WINDOWS" | awk -F '\t' '$1 == "window" && $4 == "Varnolet7.exe" { found = 1 } END { exit !found }'
}
wait_until 30 restarted || fail "the program was not started again after the upgrade"
rig wait-tray 60
rig screenshot "$ARTIFACTS/restarted.png"

step "settings and maps kept"
setting_is Notifications 0 || fail "Notifications changed: $(registry_value "$SETTINGS_KEY" Notifications)"
cmp "$DATA/hmap.dat" "$ARTIFACTS/hmap-written.dat" || fail "hmap.dat changed"

step "Exit of the restarted program"
rm -f "$DATA/VRN.log"
exit_program
wait_until 30 test -f "$DATA/VRN.log" || fail "the restarted program wrote no VRN.log on Exit"
log_texts "$DATA/VRN.log" >"$ARTIFACTS/restarted-texts.txt"
in_order "$ARTIFACTS/restarted-texts.txt" "Get application path . . . " "  -$INSTDIR_WIN\\Varnolet7.exe" ||
  fail "the restarted program is not the installed one (see $ARTIFACTS/restarted-texts.txt)"
rig wait-exit 30 || fail "the desktop did not close after Exit"

step "uninstall"
rig wine reg add "$RUN_KEY" /v 'Varnolet 7' /t REG_SZ /d "\"$INSTDIR_WIN\\Varnolet7.exe\"" /f \
  </dev/null >/dev/null 2>&1
[ -n "$(registry_value "$RUN_KEY" 'Varnolet 7')" ] || fail "could not write the Run value"
# The uninstaller copies itself away and returns at once: judge by the files.
rig wine "$INSTDIR_WIN\\Uninstall.exe" /S </dev/null >/dev/null 2>&1
wait_until 60 test ! -e "$INSTDIR" || fail "the program's folder is still there: $(files_of "$INSTDIR" | tr '\n' ' ')"
wait_until 30 test -z "$(registry_values "$UNINSTALL_KEY_USER")" || fail "the Programs and Features entry is still there"
[ ! -e "$SHORTCUT" ] || fail "the shortcut is still there"
expect_eq "$(registry_value "$RUN_KEY" 'Varnolet 7')" "" "Run value after uninstall"
[ -d "$(dirname "$DATA")" ] || fail "%APPDATA%\\Varnolet 7 was removed"
cmp "$DATA/hmap.dat" "$ARTIFACTS/hmap-written.dat" || fail "hmap.dat did not survive the uninstaller"
setting_is Notifications 0 || fail "the settings did not survive the uninstaller"
packages_passed

#!/bin/sh
# Varnolet 7's start, single instance and Exit, end to end:
#   - on a user without any trace of the program (no registry key, no folder)
#     the first start creates HKCU\Software\Kestrova Technologies\Varnolet 7
#     with the seven REG_DWORD values at their defaults, %APPDATA%\Varnolet 7
#     and its Data folder with the two empty map files, and no Run value;
#   - with Splash 0 the splash shows first, without a taskbar button, and no
#     tray icon shows while it does; the icon follows once the splash has gone;
#   - a second start shows a box titled "Warning" ("Varnolet 7 is already
#     running"), ends with exit code 0 once the box is closed, and leaves the
#     first instance running;
#   - Exit in the tray menu writes VRN.log (UTF-8 mark, then the time stamp
#     and " :: Get application path . . . " as the first line, LF only, the
#     first-run lines of the settings and folders) and the process ends with
#     exit code 0, seen by launcher.exe, which waits for it;
#   - with Startup 1 the Run value "Varnolet 7" holds the quoted path of the
#     executable.
# Screenshots of the splash, the second instance's box and the open tray menu
# are kept in the artefacts.
set -u
. "$(dirname "$0")/../scenario.sh"

PROGRAM=$RIG_BUILD/src/Varnolet7.exe
[ -f "$PROGRAM" ] || fail "$PROGRAM is missing"
FIRST=$ARTIFACTS/first-instance.txt
SECOND=$ARTIFACTS/second-instance.txt
THIRD=$ARTIFACTS/startup-1.txt

exit_program() {
  rig tray
  rig choose 4  # Playback, Recording, Options, Exit
  rig wait-exit 30 || fail "the program did not end after Exit"
}

# The program's visible windows: during the first seconds only the splash.
program_window_visible() { visible_windows | awk -F '\t' '$2 == "Varnolet7.exe" { found = 1 } END { exit !found }'; }

rig_up

step "a user without any trace of the program"
rig wine reg delete 'HKCU\Software\Kestrova Technologies' /f </dev/null >/dev/null 2>&1
rig wine reg delete "$RUN_KEY" /v 'Varnolet 7' /f </dev/null >/dev/null 2>&1
APPDATA_DIR=$(rig appdata)
[ -d "$APPDATA_DIR" ] || fail "no %APPDATA% folder in the prefix ($APPDATA_DIR)"
rm -rf "$APPDATA_DIR/Varnolet 7"
[ -z "$(registry_values "$SETTINGS_KEY")" ] || fail "the settings key survived its removal"

step "first start: the splash, then the tray icon"
rig program --record "$FIRST" "$PROGRAM"
# Samples of the notification area are taken before each look at the
# windows: a sample taken before a look that still finds the splash was
# taken while the splash showed (or before it appeared, when no icon may
# show either).
splash_seen=0
splash_start=
icon_early=0
splash_buttons=0
tries=0
while [ $tries -lt 60 ]; do
  tries=$((tries + 1))
  icon=0
  rig tray-shown && icon=1
  list_windows
  if program_window_visible; then
    [ "$icon" -eq 1 ] && icon_early=1
    # Start is the only button a taskbar may show then (Wine hides an empty one).
    [ "$(taskbar_buttons)" -gt 1 ] && splash_buttons=$(taskbar_buttons)
    if [ "$splash_seen" -eq 0 ]; then
      splash_seen=1
      splash_start=$(date +%s.%N)
      rig screenshot "$ARTIFACTS/splash.png"
    fi
  elif [ "$splash_seen" -eq 1 ]; then
    break
  fi
  sleep 0.2
done
[ "$splash_seen" -eq 1 ] || fail "no splash window showed with Splash 0"
program_window_visible && fail "the splash window did not go away"
step "the splash showed for about $(awk -v a="$splash_start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }') s (from the first look that found it to the first that did not)"
[ "$icon_early" -eq 0 ] || fail "a tray icon showed while the splash did"
[ "$splash_buttons" -eq 0 ] || fail "the taskbar showed $splash_buttons buttons (Start included) with the splash"
rig wait-tray 15
rig exit-code "$FIRST" >/dev/null && fail "the first instance ended: $(cat "$FIRST")"

step "the registry key and its seven values"
expect_eq "$(registry_values "$SETTINGS_KEY" | sort)" "$(printf '%s\t%s\t%s\n' \
  DeviceLink REG_DWORD 0x0 Hotkeys REG_DWORD 0x1 Language REG_DWORD 0x0 Notifications REG_DWORD 0x1 \
  Role REG_DWORD 0xb Splash REG_DWORD 0x0 Startup REG_DWORD 0x0)" "settings after the first start"
expect_eq "$(registry_value "$RUN_KEY" 'Varnolet 7')" "" "Run value with Startup 0"

step "the folders and the two empty map files"
DATA="$APPDATA_DIR/Varnolet 7/Data"
[ -d "$APPDATA_DIR/Varnolet 7" ] || fail "no %APPDATA%\\Varnolet 7 folder"
[ -d "$DATA" ] || fail "no %APPDATA%\\Varnolet 7\\Data folder"
for map in dlmap.dat hmap.dat; do
  [ -f "$DATA/$map" ] || fail "no $map"
  expect_eq "$(wc -c <"$DATA/$map" | tr -d ' ')" 0 "size of $map"
done
expect_eq "$(ls -A "$DATA" | sort | tr '\n' ' ')" "dlmap.dat hmap.dat " "files in the Data folder"

step "a second start is turned away"
first_pid=$(sed -n 's/^started //p' "$FIRST")
rig launch "$SECOND" "$PROGRAM"
second_pid=$(sed -n 's/^started //p' "$SECOND")
box_shown() {
  list_windows
  printf '%s\n' "$WINDOWS" | awk -F '\t' -v pid="$second_pid" \
    '$1 == "window" && $2 == 1 && $3 == pid && $5 == "#32770" && $6 == "Warning" { found = 1 } END { exit !found }'
}
wait_until 20 box_shown || fail "the second instance showed no window titled Warning"
rig screenshot "$ARTIFACTS/second-instance.png"
printf '%s\n' "$WINDOWS" | grep -qxF "$(printf 'child\tWarning\tStatic\tVarnolet 7 is already running')" ||
  fail "the Warning box does not say \"Varnolet 7 is already running\""
expect_eq "$(visible_windows | awk -F '\t' -v pid="$second_pid" '$1 == pid' | wc -l | tr -d ' ')" 1 \
  "visible windows of the second instance (the box alone)"
rig exit-code "$SECOND" >/dev/null && fail "the second instance ended before its box was closed"
rig keys Return
wait_until 15 rig exit-code "$SECOND" >/dev/null || fail "the second instance did not end after its box closed"
expect_eq "$(rig exit-code "$SECOND")" 0 "exit code of the second instance"
rig exit-code "$FIRST" >/dev/null && fail "the first instance ended with the second: $(cat "$FIRST")"
list_windows
printf '%s\n' "$WINDOWS" | awk -F '\t' -v pid="$first_pid" '$1 == "window" && $3 == pid { found = 1 } END { exit !found }' ||
  fail "the first instance has no windows left"

step "the tray menu, then Exit"
rig tray
sleep 1
rig screenshot "$ARTIFACTS/menu.png"
rig keys Escape
exit_program
wait_until 10 rig exit-code "$FIRST" >/dev/null || fail "no exit code recorded for the first instance"
expect_eq "$(rig exit-code "$FIRST")" 0 "exit code after Exit"

step "VRN.log"
LOGFILE=$DATA/VRN.log
[ -f "$LOGFILE" ] || fail "no VRN.log after Exit"
cp "$LOGFILE" "$ARTIFACTS/VRN-first-run.log"
expect_eq "$(head -c 3 "$LOGFILE" | od -An -tx1 | tr -d ' ')" efbbbf "the first three bytes of VRN.log"
tr -d '\n' <"$LOGFILE" | grep -q "$(printf '\r')" && fail "VRN.log holds a carriage return"
first_line=$(head -n 1 "$LOGFILE" | tail -c +4)
printf '%s\n' "$first_line" | grep -Eqx "$TIME_STAMP :: Get application path \. \. \. " ||
  fail "the first line of VRN.log is [$first_line]"
log_texts "$LOGFILE" >"$ARTIFACTS/first-run-texts.txt"
in_order "$ARTIFACTS/first-run-texts.txt" \
  "Get application path . . . " "  -$(winpath "$PROGRAM")" \
  "Creating user folders . . ." "  -Users folder structure verified" \
  "Get registry settings . . ." \
  "  -Could not retrieve Language setting from registry, using default value" "  -Retrieved language setting" \
  "  -Could not retrieve Startup setting from registry, using default value" "  -Retrieved startup setting" \
  "  -Could not retrieve Splash screen setting from registry, using default value" \
  "  -Retrieved splash screen setting" \
  "  -Could not retrieve Device Link setting from registry, using default value" \
  "  -Retrieved device link setting" \
  "  -Could not retrieve Notifications setting from registry, using default value" \
  "  -Retrieved notifications setting" \
  "  -Could not retrieve Hotkeys setting from registry, using default value" "  -Retrieved hotkeys setting" \
  "  -Could not retrieve Device role setting from registry, using default value" \
  "  -Retrieved device role setting" \
  "Loading string resources . . ." "  -String resources loaded" \
  "Initializing startup setting . . ." "  -Disabled" ||
  fail "VRN.log lacks the first run's lines in order (see $ARTIFACTS/first-run-texts.txt)"

step "Startup 1: the Run value holds the quoted path"
set_setting Startup 1
set_setting Splash 1
rig program --record "$THIRD" "$PROGRAM"
rig wait-tray 30
expect_eq "$(registry_value "$RUN_KEY" 'Varnolet 7')" "$(printf 'REG_SZ\t"%s"' "$(winpath "$PROGRAM")")" \
  "Run value with Startup 1"
exit_program
wait_until 10 rig exit-code "$THIRD" >/dev/null || fail "no exit code recorded for the Startup 1 run"
expect_eq "$(rig exit-code "$THIRD")" 0 "exit code of the Startup 1 run"
# The prefix is shared with the other scenarios: no start with Windows there.
rig wine reg delete "$RUN_KEY" /v 'Varnolet 7' /f </dev/null >/dev/null 2>&1
set_setting Startup 0
set_setting Splash 0
step "passed"

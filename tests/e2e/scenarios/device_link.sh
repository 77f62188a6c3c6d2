#!/bin/sh
# Varnolet 7's Device Link at start-up under Wine, end to end. Wine delivers
# no process-creation events (its WMI lacks the unsecured apartment), so the
# subscription fails at every start:
#   - with DeviceLink 1 the activity log (VRN.log after Exit) holds
#     "  -Enabled" and "  -Could not register to receive process
#     notifications, " with the system's reason, then the second device-link
#     initialisation that switches Device Link off for the run ("  -Disabled",
#     "  -Unregistered from receiving new process notification");
#   - the shell shows the balloon "Could not load Device Link, Device Link is
#     disabled" (string 42), and not before the tray icon shows: with Splash 0
#     the icon, and so the balloon, waits for the end of the splash (the text
#     is read from the shell's balloon window through window_titles.exe);
#   - the registry keeps DeviceLink 1, before and after Exit; the process
#     ends with exit code 0.
# A screenshot of the balloon is kept in the artefacts.
set -u
. "$(dirname "$0")/../scenario.sh"

PROGRAM=$RIG_BUILD/src/Varnolet7.exe
[ -f "$PROGRAM" ] || fail "$PROGRAM is missing"
RECORD=$ARTIFACTS/program.txt
BALLOON='Could not load Device Link, Device Link is disabled'
REASON_LINE='  -Could not register to receive process notifications, '

balloon_shown() { balloon_texts | grep -qxF "$BALLOON"; }
program_window_visible() { visible_windows | awk -F '\t' '$2 == "Varnolet7.exe" { found = 1 } END { exit !found }'; }

rig_up
step "DeviceLink 1, Splash 0, empty map files"
set_setting DeviceLink 1
set_setting Splash 0
set_setting Notifications 1
set_setting Hotkeys 1
set_setting Language 0
DATA=$(data_folder)
mkdir -p "$DATA"
: >"$DATA/dlmap.dat"
: >"$DATA/hmap.dat"

step "start: no balloon while the splash shows, then the balloon"
rig program --record "$RECORD" "$PROGRAM"
splash_seen=0
tries=0
while [ $tries -lt 60 ]; do
  tries=$((tries + 1))
  list_windows
  if program_window_visible; then
    splash_seen=1
    balloon_shown && fail "the Device Link balloon showed while the splash did (no tray icon yet)"
  elif [ "$splash_seen" -eq 1 ]; then
    break
  fi
  sleep 0.2
done
[ "$splash_seen" -eq 1 ] || fail "no splash window showed with Splash 0"
rig wait-tray 15
# Wine's shell raises a balloon two seconds after it was asked for, for ten seconds at least.
balloon_wait() {
  list_windows
  balloon_shown
}
wait_until 20 balloon_wait || fail "no balloon \"$BALLOON\"; shell texts: $(balloon_texts | tr '\n' '|')"
rig screenshot "$ARTIFACTS/balloon.png"
setting_is DeviceLink 1 || fail "DeviceLink is not 1 in the registry after the start"

step "Exit and VRN.log"
rig tray
rig choose 4  # Playback, Recording, Options, Exit
wait_until 30 rig exit-code "$RECORD" >/dev/null || fail "the program did not end after Exit"
expect_eq "$(rig exit-code "$RECORD")" 0 "exit code after Exit"
setting_is DeviceLink 1 || fail "DeviceLink is not 1 in the registry after Exit"
LOGFILE=$DATA/VRN.log
[ -f "$LOGFILE" ] || fail "no VRN.log after Exit"
cp "$LOGFILE" "$ARTIFACTS/VRN.log"
log_texts "$LOGFILE" >"$ARTIFACTS/texts.txt"
reason=$(sed -n "s/^$REASON_LINE//p" "$ARTIFACTS/texts.txt")
[ -n "$reason" ] || fail "no \"$REASON_LINE\" line with a reason (see $ARTIFACTS/texts.txt)"
step "the subscription failed: $reason"
sed "s/^\\($REASON_LINE\\).*\$/\\1<reason>/" "$ARTIFACTS/texts.txt" >"$ARTIFACTS/texts-reason.txt"
in_order "$ARTIFACTS/texts-reason.txt" \
  "Initializing device link setting . . ." "  -Device link configuration file is empty" \
  "  -Device link configuration file loaded" "  -Enabled" "$REASON_LINE<reason>" \
  "Intializing hotkeys setting . . ." \
  "Initializing device link setting . . ." "  -Device link configuration file is empty" \
  "  -Device link configuration file loaded" "  -Disabled" "  -Unregistered from receiving new process notification" ||
  fail "VRN.log lacks the Device Link lines in order (see $ARTIFACTS/texts.txt)"
expect_eq "$(grep -c "^$REASON_LINE" "$ARTIFACTS/texts.txt")" 1 "subscription failures logged"
step "passed"

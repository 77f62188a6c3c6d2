#!/bin/sh
# Varnolet 7's tray menu, end to end:
#   - item N of the Playback submenu reaches the policy stand-in with the
#     identifier of Wine's N-th render endpoint, for every N;
#   - the checked default reaches nothing;
#   - with Role 11 the journal shows multimedia then communications, Wine then
#     reports the device as the default and choosing it again reaches nothing;
#   - with Role 1 only the multimedia call is made;
#   - a switch the stand-in refuses logs the reason;
#   - VRN.log after Exit holds the switch lines.
# Screenshots of the open menu and of a balloon are kept in the artefacts.
set -u
. "$(dirname "$0")/../scenario.sh"

PROGRAM=$RIG_BUILD/src/Varnolet7.exe
[ -f "$PROGRAM" ] || fail "$PROGRAM is missing"

start_program() {
  rig program "$PROGRAM"
  rig wait-tray 60
}

exit_program() {
  rig tray
  rig choose 4  # Playback, Recording, Options, Exit
  rig wait-exit 30 || fail "the program did not end after Exit"
}

# choose_playback N: chooses item N and waits until the journal grew by
# EXPECTED lines (0: waits a little and checks that nothing arrived).
choose_playback() {
  _before=$(journal_length)
  rig tray
  rig choose 1 "$1"
  if [ "$2" -eq 0 ]; then
    sleep 2
    expect_eq "$(journal_since "$_before")" "" "journal after choosing item $1"
    rig keys Escape Escape
  else
    wait_until 10 sh -c "[ \$(sh '$RIG' journal | wc -l) -ge $((_before + $2)) ]" ||
      fail "item $1 did not reach the stand-in"
  fi
  JOURNAL=$(journal_since "$_before")
}

rig_up
set_setting Role 11
set_setting Notifications 1
list_endpoints
renders=$(endpoint_count render)
[ "$renders" -ge 3 ] || fail "fewer render endpoints than the demo devices"

start_program
rig tray
sleep 1
rig screenshot "$ARTIFACTS/menu.png"
rig keys Escape

# Every item, in Wine's order.
n=1
while [ "$n" -le "$renders" ]; do
  list_endpoints
  id=$(endpoint_id render "$n")
  if [ "$id" = "$(default_id render multimedia)" ]; then
    choose_playback "$n" 0
  else
    choose_playback "$n" 2
    expect_eq "$JOURNAL" "$id,1
$id,2" "Role 11: multimedia then communications for item $n"
    list_endpoints
    expect_eq "$(default_id render multimedia)" "$id" "Wine's default after item $n"
    [ -f "$ARTIFACTS/balloon.png" ] || { sleep 0.5; rig screenshot "$ARTIFACTS/balloon.png"; }
    # The check moved: the same item is now disabled and reaches nothing.
    choose_playback "$n" 0
    LAST_NAME=$(endpoint_name render "$n")
  fi
  n=$((n + 1))
done

# A refused switch: the first item that is not the default.
list_endpoints
n=1
while [ "$(endpoint_id render "$n")" = "$(default_id render multimedia)" ]; do n=$((n + 1)); done
refused=$(endpoint_id render "$n")
rig refuse "$refused"
choose_playback "$n" 2
rig refuse
exit_program

LOGFILE="$(rig appdata)/Varnolet 7/Data/VRN.log"
[ -f "$LOGFILE" ] || fail "no VRN.log after Exit"
cp "$LOGFILE" "$ARTIFACTS/VRN-role11.log"
grep -qF ':: Changing default render device . . .' "$LOGFILE" || fail "no 'Changing default render device' line"
grep -qF "::   -$LAST_NAME" "$LOGFILE" || fail "no '  -$LAST_NAME' line"
grep -qF '::   -Could not change default render device, ' "$LOGFILE" || fail "the refused switch was not logged"

# Role 1: only the multimedia call.
set_setting Role 1
start_program
list_endpoints
n=1
while [ "$(endpoint_id render "$n")" = "$(default_id render multimedia)" ]; do n=$((n + 1)); done
id=$(endpoint_id render "$n")
choose_playback "$n" 1
sleep 2
expect_eq "$(journal_since "$_before")" "$id,1" "Role 1: the multimedia call only"
exit_program
step "passed"

#!/bin/sh
# Varnolet 7's hotkeys, end to end, typed into another program (notepad,
# focused in the same Wine desktop) while the program listens to raw input:
#   - a hotkey stored in hmap.dat for the "Headset" playback device makes it
#     the default through the policy stand-in (multimedia then
#     communications, Role 11), Wine then reports it as the default, and
#     VRN.log holds "Changing default render device . . ." and "  -Headset";
#     notepad stays the foreground window while the program's notification
#     window shows, and the notification adds no taskbar button;
#   - the notifications hotkey sets Notifications 0 in the registry, and
#     pressed again 1;
#   - the eight letters Q X W T Z K P V (no Shift) open a window titled
#     "Varnolet 7 Monitor  -  " and a time stamp without leading zeros;
#   - the disable-hotkeys hotkey sets Hotkeys 0 in the registry, leaves
#     hmap.dat byte for byte as it was written (the hotkey of an absent device
#     included), and no hotkey fires afterwards.
# Screenshots of the notification and of the monitor window are kept in the
# artefacts.
set -u
. "$(dirname "$0")/../scenario.sh"

PROGRAM=$RIG_BUILD/src/Varnolet7.exe
[ -f "$PROGRAM" ] || fail "$PROGRAM is missing"
NOTEPAD_RECORD=$ARTIFACTS/notepad.txt
PROGRAM_RECORD=$ARTIFACTS/program.txt
DISABLE_ID='{0.0.0.00000000}.{00000000-0000-0000-0000-00000000000H}'
NOTIFY_ID='{0.0.0.00000000}.{00000000-0000-0000-0000-00000000000N}'
# A playback device this machine does not have: its hotkey must survive.
ABSENT_ID='{0.0.0.00000000}.{0D15EA5E-0000-4000-8000-00000000AB5E}'
# Key positions of the map file: digits 0-9 at 12-21, letters A-T at 22-41.
POS_1=13
POS_2=14
POS_D=25
POS_N=35


notifications_are() { setting_is Notifications "$1"; }

rig_up
list_endpoints
pos=$(printf '%s\n' "$ENDPOINTS" | awk -F '\t' '$1 == "render" && $4 == "Headset" { print $2 }')
[ -n "$pos" ] || fail "no Headset among the render endpoints"
HEADSET=$(endpoint_id render "$pos")
[ "$HEADSET" != "$(default_id render multimedia)" ] || fail "the headset should not be the default yet"

step "hmap.dat with four hotkeys, settings with hotkeys and notifications on"
set_setting Splash 1
set_setting Notifications 1
set_setting Hotkeys 1
set_setting Role 11
set_setting DeviceLink 0
DATA=$(data_folder)
mkdir -p "$DATA"
rm -f "$DATA"/hmap.dat*
# shellcheck disable=SC2046
write_bytes "$DATA/hmap.dat" EF BB BF C2 D1 CD 2D CC C1 D0 2D D6 C1 C9 CB 04 00 00 00 \
  $(ctrl_shift_record $POS_1 "$HEADSET") $(ctrl_shift_record $POS_N "$NOTIFY_ID") \
  $(ctrl_shift_record $POS_D "$DISABLE_ID") $(ctrl_shift_record $POS_2 "$ABSENT_ID")
expect_eq "$(wc -c <"$DATA/hmap.dat" | tr -d ' ')" $((19 + 4 * (55 + 55))) "size of the written hmap.dat"
cp "$DATA/hmap.dat" "$ARTIFACTS/hmap-written.dat"

rig program --record "$PROGRAM_RECORD" "$PROGRAM"
rig wait-tray 60
rig launch "$NOTEPAD_RECORD" 'C:\windows\notepad.exe'
notepad_in_front() {
  list_windows
  foreground_window | grep -q "^notepad.exe	"
}
wait_until 20 notepad_in_front || fail "notepad did not come to the front: $(foreground_window)"
NOTEPAD=$(foreground_window)
NOTEPAD_INPUT=$(input_state)
BUTTONS=$(taskbar_buttons)

step "the playback hotkey, typed into notepad"
journal=$(journal_length)
rig keys ctrl+shift+1
wait_until 10 journal_has "$HEADSET,2" || fail "the hotkey did not reach the stand-in"
list_windows
expect_eq "$(foreground_window)" "$NOTEPAD" "the foreground window while the notification shows"
expect_eq "$(input_state)" "$NOTEPAD_INPUT" "the active and focus windows while the notification shows"
has_visible_window Varnolet7.exe 'Varnolet 7' || fail "no notification window showed"
expect_eq "$(taskbar_buttons)" "$BUTTONS" "taskbar buttons (Start and notepad) while the notification shows"
rig screenshot "$ARTIFACTS/notification.png"
expect_eq "$(journal_since "$journal")" "$HEADSET,1
$HEADSET,2" "Role 11: multimedia then communications"
list_endpoints
expect_eq "$(default_id render multimedia)" "$HEADSET" "Wine's multimedia default after the hotkey"
expect_eq "$(default_id render communications)" "$HEADSET" "Wine's communications default after the hotkey"

step "the notifications hotkey, twice"
rig keys ctrl+shift+n
wait_until 10 notifications_are 0 || fail "Notifications is not 0 after the hotkey"
sleep 1
rig keys ctrl+shift+n
wait_until 10 notifications_are 1 || fail "Notifications is not 1 after the second press"
list_windows
expect_eq "$(foreground_window)" "$NOTEPAD" "the foreground window after the notifications hotkey"

step "the monitor key sequence"
# The typed keys are forgotten about a second after the last key.
sleep 1.5
rig keys q x w t z k p v
monitor_open() {
  list_windows
  has_visible_window Varnolet7.exe "Varnolet 7 Monitor  -  $TIME_STAMP"
}
wait_until 10 monitor_open || fail "no monitor window; visible windows: $(visible_windows | tr '\t\n' ' |')"
rig screenshot "$ARTIFACTS/monitor.png"

step "the disable-hotkeys hotkey"
rig keys ctrl+shift+d
wait_until 10 setting_is Hotkeys 0 || fail "Hotkeys is not 0 after the hotkey"
sleep 1
cmp "$DATA/hmap.dat" "$ARTIFACTS/hmap-written.dat" ||
  fail "hmap.dat changed when hotkeys were disabled (see $ARTIFACTS/hmap-written.dat)"
# No hotkey fires now.
rig keys ctrl+shift+n
sleep 2
notifications_are 1 || fail "the notifications hotkey fired with hotkeys disabled"

step "Exit and VRN.log"
rig tray
rig choose 4  # Playback, Recording, Options, Exit
# The desktop stays while notepad runs: the launcher tells when the program ended.
wait_until 30 rig exit-code "$PROGRAM_RECORD" >/dev/null || fail "the program did not end after Exit"
expect_eq "$(rig exit-code "$PROGRAM_RECORD")" 0 "exit code after Exit"
LOGFILE=$DATA/VRN.log
[ -f "$LOGFILE" ] || fail "no VRN.log after Exit"
cp "$LOGFILE" "$ARTIFACTS/VRN.log"
log_texts "$LOGFILE" >"$ARTIFACTS/texts.txt"
in_order "$ARTIFACTS/texts.txt" \
  "Intializing hotkeys setting . . ." "  -Hotkeys configuration file loaded" "  -Enabled" \
  "  -Registed hotkeys configuration" "  -Registered to receive keyboard notifications" \
  "Changing default render device . . ." "  -Headset" \
  "Initializing notifications setting . . . " "$(printf '\t-Disabled')" \
  "Initializing notifications setting . . . " "  -Enabled" \
  "Intializing hotkeys setting . . ." "  -Hotkeys configuration file loaded" "  -Disabled" \
  "  -Unregistered from receiving keyboard notifications" ||
  fail "VRN.log lacks the hotkey lines in order (see $ARTIFACTS/texts.txt)"
grep -A1 -xF "Changing default render device . . ." "$ARTIFACTS/texts.txt" | grep -qxF "  -Headset" ||
  fail "the switch line is not followed by \"  -Headset\""
step "passed"

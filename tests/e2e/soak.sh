#!/bin/sh
# Varnolet 7 over a long run and at rest, under Wine in the rig
# (`make soak`; `make idle` runs the idle part alone):
#
# Idle: the system calls of the program's process over IDLE_SECONDS (20) with
# nothing happening, counted by strace attached to each of its threads
# (`strace -f -c -p TID ...`). A count is valid only when strace reported that
# it attached to every thread (a failed attach prints no calls either). Four
# times: at the start (Device Link off, no window shown), after a
# notification has faded, after the monitor window has been hidden, after
# the Options dialog has been closed. Expected: 0 calls each time.
#
# Long run (notifications on): 500 switches by hotkey typed into notepad
# (Ctrl+Shift+1 and Ctrl+Shift+2 from hmap.dat, the two demo playback
# devices in turn), 200 switches from the tray menu (the same two in turn),
# 50 openings and closings of the monitor window (its key sequence, then its
# close box) and 50 of the Options dialog (from the tray menu, closed with
# Esc); an opening with its closing is one action. Every block of 50 actions
# holds some of each kind. After each block: the program's private memory
# (Private_Clean + Private_Dirty of its Wine process) and the number of
# windows it owns, hidden ones included (process_windows.exe). Passes when
# the last sample is within 2 MiB and 0 windows of the first. Every switch
# is checked in the policy stand-in's journal.
#
# Usage: soak.sh [--idle-only]   (SOAK_BLOCKS=N: only the first N of the 16
# blocks, to try the script out; the full run is 16)
set -u
# Beside the rig, not among the scenarios (which ctest runs).
RIG=${RIG:-$(cd "$(dirname "$0")" && pwd)/rig.sh}
. "$(dirname "$0")/scenario.sh"

IDLE_SECONDS=${IDLE_SECONDS:-20}
PROGRAM=$RIG_BUILD/src/Varnolet7.exe
PROBE=$RIG_BUILD/tests/e2e/process_windows.exe
[ -f "$PROGRAM" ] || fail "$PROGRAM is missing"
[ -f "$PROBE" ] || fail "$PROBE is missing: build the target measure_parts"
command -v strace >/dev/null || skip "strace is not installed"
PROGRAM_RECORD=$ARTIFACTS/program.txt
NOTEPAD_RECORD=$ARTIFACTS/notepad.txt
POS_1=13 # key positions of "1" and "2" in the map file
POS_2=14


# The Unix process id of the Wine process that runs Varnolet7.exe in the
# rig's prefix (other rigs on this machine have prefixes of their own).
program_pid() {
  for _dir in /proc/[0-9]*; do
    [ "$(cat "$_dir/comm" 2>/dev/null)" = Varnolet7.exe ] || continue
    tr '\0' '\n' <"$_dir/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    basename "$_dir"
    return 0
  done
  return 1
}

private_kib() { awk '/^Private_(Clean|Dirty):/ { sum += $2 } END { print sum + 0 }' "/proc/$PID/smaps_rollup"; }

# windows_owned: how many windows the program owns (process_windows.exe).
windows_owned() {
  _out=$RIG_DIR/state/process_windows.txt
  rm -f "$_out"
  rig wine "$PROBE" Varnolet "Varnolet7.exe" "$(winpath "$_out")" "$@" </dev/null >/dev/null 2>&1 ||
    fail "process_windows failed: $(cat "$_out" 2>/dev/null)"
  cp "$_out" "$ARTIFACTS/windows-last.txt"
  sed -n 's/^total\t//p' "$_out"
}

# strace_threads PID LOG: strace -f -c on every thread of PID for
# IDLE_SECONDS; LOG.summary gets the counts, LOG.attach strace's messages.
# Sets THREADS and ATTACHED.
strace_threads() {
  THREADS=$(ls "/proc/$1/task")
  _args=
  for _tid in $THREADS; do _args="$_args -p $_tid"; done
  # shellcheck disable=SC2086
  timeout -s INT "$IDLE_SECONDS" strace -f -c -o "$2.summary" $_args 2>"$2.attach"
  THREADS=$(printf '%s\n' $THREADS | wc -l | tr -d ' ')
  ATTACHED=$(grep -c '^strace: Process [0-9]* attached' "$2.attach")
}

# calls_in SUMMARY: the number of calls strace -c counted (no table: none).
calls_in() {
  awk '$NF != "total" && $4 ~ /^[0-9]+$/ && $1 ~ /^[0-9.]+$/ { sum += $4 } END { print sum + 0 }' "$1"
}

# idle_count WHEN: the program's calls over IDLE_SECONDS; notepad's, counted
# at the same time, show that the counting sees calls where there are some
# (its caret blinks).
idle_count() {
  _log=$ARTIFACTS/idle-$1
  strace_threads "$NOTEPAD_PID" "$_log-notepad" &
  _control=$!
  strace_threads "$PID" "$_log"
  wait "$_control"
  [ "$ATTACHED" -ge "$THREADS" ] ||
    fail "idle $1: strace attached to $ATTACHED of $THREADS threads: $(cat "$_log.attach")"
  _calls=$(calls_in "$_log.summary")
  _control_calls=$(calls_in "$_log-notepad.summary")
  [ "$_control_calls" -gt 0 ] || fail "idle $1: no calls counted for notepad either (see $_log-notepad.attach)"
  printf '%s\t%s threads\t%s calls\t(notepad meanwhile: %s calls)\n' "$1" "$THREADS" "$_calls" "$_control_calls" |
    tee -a "$ARTIFACTS/idle.txt" >&2
  IDLE_RESULTS="$IDLE_RESULTS $_calls"
}

notepad_in_front() {
  list_windows
  foreground_window | grep -q "^notepad.exe	"
}

# Brings notepad to the front with a click into it, as a user does after
# using the tray menu.
front_notepad() {
  [ "${1:-}" = --click ] || { notepad_in_front && return 0; }
  _window=$(xdotool search --name 'Notepad' 2>/dev/null | head -n 1)
  [ -n "$_window" ] || fail "notepad's window is not found"
  eval "$(xdotool getwindowgeometry --shell "$_window")"
  rig click $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) 1
  wait_until 10 notepad_in_front || fail "notepad did not come to the front: $(foreground_window)"
}

# The journal read directly (the rig's command costs a shell a read).
journal_length() {
  if [ -f "$RIG_DIR/policy_journal.txt" ]; then wc -l <"$RIG_DIR/policy_journal.txt" | tr -d ' '; else echo 0; fi
}
journal_grew_to() { [ "$(journal_length)" -ge "$1" ]; }

# switched BEFORE ID: the journal grew by the two calls of Role 11 for ID.
switched() {
  wait_until 15 journal_grew_to $(($1 + 2)) || return 1
  [ "$(journal_since "$1")" = "$2,1
$2,2" ]
}

NEXT_KEY=2 # the device switched to last: the next switch goes to the other
# next_target: NEXT_KEY (1 or 2: Ctrl+Shift+1 or +2), NEXT_ID and NEXT_POS
# (its place in the Playback submenu) of the device to switch to now.
next_target() {
  if [ "$NEXT_KEY" = 2 ]; then
    NEXT_KEY=1
    NEXT_ID=$DEVICE_1
    NEXT_POS=$DEVICE_1_POS
  else
    NEXT_KEY=2
    NEXT_ID=$DEVICE_2
    NEXT_POS=$DEVICE_2_POS
  fi
}

hotkey_switch() {
  next_target
  _before=$(journal_length)
  # ctrl+shift+1 switches to device 1, ctrl+shift+2 to device 2.
  # Held as a typist holds it, from one xdotool (no menu is open).
  xdotool keydown "ctrl+shift+$NEXT_KEY" sleep 0.1 keyup "ctrl+shift+$NEXT_KEY"
  switched "$_before" "$NEXT_ID" || fail "hotkey switch $HOTKEYS to $NEXT_ID: journal $(journal_since "$_before")"
  HOTKEYS=$((HOTKEYS + 1))
}

# A menu switch on a busy machine may still choose another item: such a
# stray switch is counted apart, and the intended one is tried again (three
# times at most).
menu_switch() {
  next_target
  _try=0
  while :; do
    _try=$((_try + 1))
    _before=$(journal_length)
    # The Playback submenu follows Wine's order of the moment, which a
    # switch may change: the item's place is looked up each time.
    list_endpoints
    _pos=$(printf '%s\n' "$ENDPOINTS" | awk -F '\t' -v id="$NEXT_ID" '$1 == "render" && $3 == id { print $2 }')
    [ -n "$_pos" ] || fail "menu switch $MENUS: $NEXT_ID is not listed"
    rig tray
    RIG_MENU_DELAY=${RIG_MENU_DELAY:-1.5} RIG_SUBMENU_DELAY=${RIG_SUBMENU_DELAY:-1} rig choose 1 "$_pos"
    switched "$_before" "$NEXT_ID" && break
    [ "$(journal_length)" -gt "$_before" ] && STRAYS=$((STRAYS + 1))
    rig screenshot "$ARTIFACTS/menu-$MENUS-try$_try.png"
    [ $_try -lt 3 ] || fail "menu switch $MENUS to $NEXT_ID: journal $(journal_since "$_before")"
    step "menu switch $MENUS: another item was chosen; again"
    rig keys Escape Escape
    sleep 1
  done
  MENUS=$((MENUS + 1))
  NEED_FRONT=1
}

# The monitor's eight letters from one xdotool, each held 80 ms: the next key
# must follow within half a second, which one xdotool a key cannot promise on
# a busy machine.
type_monitor_sequence() {
  set --
  for _letter in q x w t z k p v; do set -- "$@" keydown "$_letter" sleep 0.08 keyup "$_letter" sleep 0.1; done
  xdotool "$@"
}

monitor_shown() {
  list_windows
  has_visible_window Varnolet7.exe "Varnolet 7 Monitor  -  $TIME_STAMP"
}
monitor_hidden() { ! monitor_shown; }

monitor_cycle() {
  [ "$NEED_FRONT" = 1 ] && front_notepad
  # Typed keys are forgotten about a second after the last one.
  sleep 1.5
  type_monitor_sequence
  wait_until 15 monitor_shown || fail "monitor $MONITORS did not show: $(visible_windows | tr '\t\n' ' |')"
  windows_owned close "Varnolet 7 Monitor" >/dev/null
  wait_until 15 monitor_hidden || fail "monitor $MONITORS was not hidden by its close box"
  MONITORS=$((MONITORS + 1))
  NEED_FRONT=1
}

options_shown() {
  list_windows
  has_visible_window Varnolet7.exe '^Options$'
}
options_hidden() { ! options_shown; }

options_cycle() {
  rig tray && rig choose 3 # Playback, Recording, Options, Exit
  wait_until 15 options_shown || fail "Options $OPTIONS did not show: $(visible_windows | tr '\t\n' ' |')"
  sleep 0.5
  rig keys Escape
  wait_until 15 options_hidden || fail "Options $OPTIONS did not close on Esc"
  OPTIONS=$((OPTIONS + 1))
  NEED_FRONT=1
}

notification_gone() {
  list_windows
  ! has_visible_window Varnolet7.exe 'Varnolet 7'
}

# ------------------------------------------------------------------ set-up

rig_up
list_endpoints
DEVICE_1_POS=$(printf '%s\n' "$ENDPOINTS" | awk -F '\t' '$1 == "render" && $4 == "Headset" { print $2 }')
DEVICE_2_POS=$(printf '%s\n' "$ENDPOINTS" | awk -F '\t' '$1 == "render" && $4 == "Ακουστικά" { print $2 }')
[ -n "$DEVICE_1_POS" ] && [ -n "$DEVICE_2_POS" ] || fail "the demo playback devices are not listed"
RENDERS=$(endpoint_count render)
DEVICE_1=$(endpoint_id render "$DEVICE_1_POS")
DEVICE_2=$(endpoint_id render "$DEVICE_2_POS")

set_setting Language 0
set_setting Startup 0
set_setting Splash 1
set_setting Notifications 1
set_setting Hotkeys 1
set_setting Role 11
set_setting DeviceLink 0
DATA=$(data_folder)
mkdir -p "$DATA"
rm -f "$DATA"/hmap.dat* "$DATA"/dlmap.dat* "$DATA/VRN.log"
# shellcheck disable=SC2046
write_bytes "$DATA/hmap.dat" EF BB BF C2 D1 CD 2D CC C1 D0 2D D6 C1 C9 CB 02 00 00 00 \
  $(ctrl_shift_record $POS_1 "$DEVICE_1") $(ctrl_shift_record $POS_2 "$DEVICE_2")

eval "$(rig env)"
export DISPLAY
rig program --record "$PROGRAM_RECORD" "$PROGRAM"
rig wait-tray 60
wait_until 20 program_pid >/dev/null || fail "the program's Wine process is not found"
PID=$(program_pid)
HOTKEYS=0
MENUS=0
MONITORS=0
OPTIONS=0
NEED_FRONT=0
STRAYS=0
IDLE_RESULTS=

rig launch "$NOTEPAD_RECORD" 'C:\windows\notepad.exe'
wait_until 20 notepad_in_front || fail "notepad did not come to the front: $(foreground_window)"
notepad_pid() {
  for _dir in /proc/[0-9]*; do
    [ "$(cat "$_dir/comm" 2>/dev/null)" = notepad.exe ] || continue
    tr '\0' '\n' <"$_dir/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
    basename "$_dir"
    return 0
  done
  return 1
}
NOTEPAD_PID=$(notepad_pid) || fail "notepad's Wine process is not found"

step "idle: at the start"
sleep 3
list_windows
[ -z "$(visible_windows | awk -F '\t' '$2 == "Varnolet7.exe"')" ] || fail "a window shows at the start"
idle_count start

step "idle: after a notification has faded"
hotkey_switch
notification_shown() {
  list_windows
  has_visible_window Varnolet7.exe 'Varnolet 7'
}
wait_until 5 notification_shown ||
  step "(the notification was not seen while it showed)"
wait_until 30 notification_gone || fail "the notification did not fade"
sleep 2
idle_count notification

step "idle: after the monitor has been hidden"
monitor_cycle
sleep 2
idle_count monitor

step "idle: after the Options dialog has been closed"
options_cycle
sleep 2
idle_count options
front_notepad

IDLE_TOTAL=0
for calls in $IDLE_RESULTS; do IDLE_TOTAL=$((IDLE_TOTAL + calls)); done
[ "$IDLE_TOTAL" -eq 0 ] || fail "the program made system calls while idle (see $ARTIFACTS/idle-*.txt.summary)"

if [ "${1:-}" = --idle-only ]; then
  step "passed (idle only)"
  exit 0
fi

# ------------------------------------------------------------------ long run

# Block K (from 0) of 16: 3 or 4 monitor and Options cycles, 12 or 13 menu
# switches, the rest hotkey switches: 50, 50, 200 and 500 in all.
SAMPLES=$ARTIFACTS/samples.txt
printf 'actions\tprivate KiB\twindows\thotkey\tmenu\tmonitor\toptions\n' >"$SAMPLES"
block=0
while [ $block -lt "${SOAK_BLOCKS:-16}" ]; do
  if [ $block -lt 2 ]; then cycles=4; else cycles=3; fi
  if [ $((block % 2)) -eq 0 ]; then menus=13; else menus=12; fi
  hotkeys=$((50 - 2 * cycles - menus))
  # A click into notepad first: after the monitor's close box the tray
  # submenu lost its arrow keys.
  front_notepad --click
  NEED_FRONT=0
  i=0
  while [ $i -lt $menus ]; do
    menu_switch
    i=$((i + 1))
  done
  front_notepad
  NEED_FRONT=0
  i=0
  while [ $i -lt $hotkeys ]; do
    hotkey_switch
    i=$((i + 1))
  done
  i=0
  while [ $i -lt $cycles ]; do
    monitor_cycle
    options_cycle
    i=$((i + 1))
  done
  block=$((block + 1))
  actions=$((HOTKEYS - 1 + MENUS + MONITORS - 1 + OPTIONS - 1))
  sleep 2
  sample="$actions	$(private_kib)	$(windows_owned)	$((HOTKEYS - 1))	$MENUS	$((MONITORS - 1))	$((OPTIONS - 1))"
  printf '%s\n' "$sample" >>"$SAMPLES"
  step "sample: $sample"
done

step "Exit"
rig tray && rig choose 4
wait_until 30 rig exit-code "$PROGRAM_RECORD" >/dev/null || fail "the program did not end after Exit"
expect_eq "$(rig exit-code "$PROGRAM_RECORD")" 0 "exit code after Exit"

printf '\nIdle system calls over %s s:\n' "$IDLE_SECONDS"
cat "$ARTIFACTS/idle.txt"
printf '\nSamples (after each block of 50 actions; %s stray menu switches besides):\n' "$STRAYS"
cat "$SAMPLES"
awk -F '\t' 'NR == 2 { kib = $2; windows = $3 } NR > 2 { lastkib = $2; lastwindows = $3 }
  END {
    printf "\nlast - first: %+d KiB private, %+d windows (allowed: 2048 KiB, 0 windows)\n", lastkib - kib, lastwindows - windows
    exit !(lastkib - kib <= 2048 && lastwindows == windows)
  }' "$SAMPLES" || fail "memory or windows grew over the long run (see $SAMPLES)"
step "passed"

#!/bin/sh
# What start-up loads, end to end, read from Wine's loader trace (+loaddll)
# of the program's own process:
#   - with the tray icon shown (Device Link off), neither the common controls
#     library (comctl32.dll) nor the common dialog library (comdlg32.dll) is
#     loaded, nor psapi.dll, which only Device Link needs (Wine's own
#     libraries load version.dll and oleaut32.dll at start anyway);
#   - the monitor window (the key sequence typed into notepad) loads the
#     common controls and works: its window shows with its clock;
#   - the Options dialog shows, and the common dialog library is still not
#     loaded: only the program picker needs it.
# Artefacts: the program's loader lines (loaddll.txt).
set -u
. "$(dirname "$0")/../scenario.sh"

PROGRAM=$RIG_BUILD/src/Varnolet7.exe
[ -f "$PROGRAM" ] || fail "$PROGRAM is missing"
RECORD=$ARTIFACTS/program.txt
NOTEPAD_RECORD=$ARTIFACTS/notepad.txt
LOG=$RIG_DIR/state/program.log

# The loader lines of the program's process (Wine prints the process id in
# hexadecimal, four digits at least, at the start of each line with +pid).
program_lines() {
  _pid=$(sed -n 's/^started //p' "$RECORD")
  [ -n "$_pid" ] || fail "no process id in $RECORD"
  grep "^$(printf '%04x' "$_pid"):" "$LOG" | grep 'trace:loaddll:' >"$ARTIFACTS/loaddll.txt"
  cat "$ARTIFACTS/loaddll.txt"
}
loaded() { program_lines | grep -i 'Loaded L"[^"]*\\'"$1"'"' >/dev/null; }
expect_loaded() { loaded "$1" || fail "$1 is not loaded $2"; }
expect_not_loaded() { ! loaded "$1" || fail "$1 is loaded $2"; }

rig_up
set_setting Language 0
set_setting Startup 0
set_setting Splash 1
set_setting Notifications 1
set_setting Hotkeys 1
set_setting DeviceLink 0

step "start: the tray icon, and neither library"
: >"$LOG"
RIG_WINEDEBUG=+pid,+loaddll rig program --record "$RECORD" "$PROGRAM"
rig wait-tray 60
sleep 1
expect_loaded Varnolet7.exe "(the loader trace does not work)"
expect_loaded ole32.dll "(the loader trace does not work)"
expect_not_loaded comctl32.dll "once the tray icon shows"
expect_not_loaded comdlg32.dll "once the tray icon shows"
expect_not_loaded psapi.dll "once the tray icon shows with Device Link off"

step "the monitor window loads the common controls"
rig launch "$NOTEPAD_RECORD" 'C:\windows\notepad.exe'
notepad_in_front() {
  list_windows
  foreground_window | grep -q "^notepad.exe	"
}
wait_until 20 notepad_in_front || fail "notepad did not come to the front: $(foreground_window)"
# The typed keys are forgotten about a second after the last key.
sleep 1.5
rig keys q x w t z k p v
monitor_open() {
  list_windows
  has_visible_window Varnolet7.exe "Varnolet 7 Monitor  -  $TIME_STAMP"
}
wait_until 10 monitor_open || fail "no monitor window; visible windows: $(visible_windows | tr '\t\n' ' |')"
expect_loaded comctl32.dll "after the monitor window showed"
expect_not_loaded comdlg32.dll "after the monitor window showed"

step "the Options dialog does without the common dialog library"
rig tray && rig choose 3 # Playback, Recording, Options, Exit
options_shown() {
  list_windows
  has_visible_window Varnolet7.exe Options
}
wait_until 15 options_shown || fail "no window titled Options: $(visible_windows | tr '\t\n' ' |')"
expect_not_loaded comdlg32.dll "with the Options dialog shown"
rig keys Escape

step "Exit"
rig tray && rig choose 4
wait_until 30 rig exit-code "$RECORD" >/dev/null || fail "the program did not end after Exit"
expect_eq "$(rig exit-code "$RECORD")" 0 "exit code after Exit"

#!/bin/sh
# The Options dialog, end to end, driven from the keyboard as a user would:
#   - the tray menu's Options shows a window titled "Options", with no
#     taskbar button; each of the five pages is selected (the arrow keys in
#     the category column) and kept as a screenshot;
#   - Esc (Cancel) hides it;
#   - OK (Enter) with no change applies the settings once: VRN.log holds
#     "Initializing new program settings . . ." once per OK, with the save
#     steps' lines after it;
#   - unticking "Show notifications" and OK writes Notifications 0;
#   - a hotkey chosen on the Hotkeys page (Ctrl+Shift+3 for "Headset") is in
#     hmap.dat after OK and switches the device when typed into notepad;
#   - a program chosen with the file dialog for "Headset" on the Device Link
#     page is in dlmap.dat after OK;
#   - the five pages again in Greek (Language 1), and both languages at 144
#     dpi (Wine's LogPixels), as screenshots for the eye.
# Artefacts: <language>-<dpi>-page<N>.png for every page, VRN.log, the maps.
set -u
. "$(dirname "$0")/../scenario.sh"

PROGRAM=$RIG_BUILD/src/Varnolet7.exe
[ -f "$PROGRAM" ] || fail "$PROGRAM is missing"
RECORD=$ARTIFACTS/program.txt
NOTEPAD_RECORD=$ARTIFACTS/notepad.txt
DPI_KEY='HKCU\Control Panel\Desktop'
POS_3=15  # key position of "3" in the map file

set_dpi() {
  rig wine reg add "$DPI_KEY" /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1 || fail "could not set LogPixels"
}

# A file's bytes as one line of hex digits, and a hex list squeezed the same way.
file_hex() { od -An -v -tx1 "$1" | tr -d ' \n'; }
squeeze() { printf '%s' "$1" | tr -d ' \n'; }
utf16_hex() { printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -d ' \n'; }

dialog_shown() {
  list_windows
  has_visible_window Varnolet7.exe "$1"
}
dialog_hidden() { ! dialog_shown "$1"; }

start_program() {
  rig program --record "$RECORD" "$PROGRAM"
  rig wait-tray 60
}

open_options() {
  rig tray && rig choose 3 # Playback, Recording, Options, Exit
  wait_until 15 dialog_shown "$1" || fail "no window titled $1: $(visible_windows | tr '\t\n' ' |')"
  sleep 0.5
}

# The five pages, from General on, each kept as PREFIX-page<N>.png (the middle
# of the desktop, where the dialog is centred).
screenshot_pages() {
  _page=0
  while [ $_page -lt 5 ]; do
    sleep 0.6
    rig screenshot "$ARTIFACTS/full.png"
    convert "$ARTIFACTS/full.png" -crop 900x560+190+110 +repage "$ARTIFACTS/$1-page$_page.png"
    rig keys Down
    _page=$((_page + 1))
  done
  rm -f "$ARTIFACTS/full.png"
  # Back to General for the next showing.
  rig keys Up Up Up Up Up
}

exit_program() {
  rig tray && rig choose 4
  wait_until 30 rig exit-code "$RECORD" >/dev/null || fail "the program did not end after Exit"
  expect_eq "$(rig exit-code "$RECORD")" 0 "exit code after Exit"
  sleep 1.5 # the desktop closes after the program
}

rig_up
trap 'set_dpi 96; rig stop' EXIT
set_dpi 96
list_endpoints
pos=$(printf '%s\n' "$ENDPOINTS" | awk -F '\t' '$1 == "render" && $4 == "Headset" { print $2 }')
[ -n "$pos" ] || fail "no Headset among the render endpoints"
HEADSET=$(endpoint_id render "$pos")

step "settings: English, no splash, notifications and hotkeys on, Device Link off; empty maps"
set_setting Language 0
set_setting Startup 0
set_setting Splash 1
set_setting Notifications 1
set_setting Hotkeys 1
set_setting DeviceLink 0
set_setting Role 11
DATA=$(data_folder)
mkdir -p "$DATA"
rm -f "$DATA"/hmap.dat* "$DATA"/dlmap.dat* "$DATA/VRN.log"
start_program

step "Options from the tray menu, the five pages"
open_options '^Options$'
list_windows
BUTTONS=$(taskbar_buttons)
screenshot_pages en-96

step "Esc is Cancel"
rig keys Escape
wait_until 10 dialog_hidden '^Options$' || fail "the dialog did not close on Esc"
list_windows
expect_eq "$(taskbar_buttons)" "$BUTTONS" "taskbar buttons after the dialog (none of its own)"

step "OK with no change"
open_options '^Options$'
rig keys Return
wait_until 10 dialog_hidden '^Options$' || fail "the dialog did not close on Enter"
setting_is Notifications 1 || fail "Notifications changed by an OK without changes"

step "unticking Show notifications"
open_options '^Options$'
# The selected category has the focus: Start with Windows, Disable splash
# screen, Show notifications.
rig keys Tab Tab Tab space Return
wait_until 10 dialog_hidden '^Options$' || fail "the dialog did not close on Enter"
wait_until 10 setting_is Notifications 0 || fail "Notifications is not 0 after OK"

step "a hotkey for Headset on the Hotkeys page"
open_options '^Options$'
# Category Hotkeys; then its rows in reading order: key list, Alt, Ctrl,
# Shift of the first two rows, then the playback row's device list.
rig keys Down Down Down
rig keys Tab Tab Tab Tab Tab Tab Tab Tab Tab
rig keys H         # the device list: the first name starting with H
rig keys Tab 3     # the key list: "3"
rig keys Tab Tab space Tab space # Ctrl and Shift
rig screenshot "$ARTIFACTS/hotkey-chosen.png"
rig keys Return
wait_until 10 dialog_hidden '^Options$' || fail "the dialog did not close on Enter"
RECORD_HEX=$(squeeze "$(ctrl_shift_record $POS_3 "$HEADSET")")
hmap_has_record() { file_hex "$DATA/hmap.dat" | grep -q "$RECORD_HEX"; }
wait_until 10 hmap_has_record || fail "hmap.dat lacks Ctrl+Shift+3 for Headset"
cp "$DATA/hmap.dat" "$ARTIFACTS/hmap.dat"

step "the new hotkey typed into notepad"
rig launch "$NOTEPAD_RECORD" 'C:\windows\notepad.exe'
notepad_in_front() {
  list_windows
  foreground_window | grep -q "^notepad.exe	"
}
wait_until 20 notepad_in_front || fail "notepad did not come to the front"
journal=$(journal_length)
rig keys ctrl+shift+3
wait_until 10 journal_has "$HEADSET,2" || fail "the hotkey chosen in the dialog did not switch"
expect_eq "$(journal_since "$journal")" "$HEADSET,1
$HEADSET,2" "the hotkey's switch (Role 11)"
rig keys alt+F4
sleep 1

step "notepad linked with Headset on the Device Link page"
open_options '^Options$'
rig keys Up        # Device Link (the column keeps Hotkeys selected)
rig keys Tab H     # the playback device list
rig keys Tab Tab space  # past the clear button to ". . ."
file_dialog() {
  list_windows
  has_visible_window Varnolet7.exe '^Select a program to link$'
}
wait_until 15 file_dialog || fail "no file dialog titled Select a program to link: $(visible_windows | tr '\t\n' ' |')"
sleep 0.5
rig screenshot "$ARTIFACTS/file-dialog.png"
rig keys c colon backslash w i n d o w s backslash n o t e p a d period e x e Return
wait_until 10 dialog_hidden '^Select a program to link$' || fail "the file dialog stayed open"
sleep 0.5
rig screenshot "$ARTIFACTS/linked.png"
# Enter on the focused ". . ." would open the picker again, as in any dialog:
# OK from the next control.
rig keys Tab Return
wait_until 10 dialog_hidden '^Options$' || fail "the dialog did not close on Enter"
dlmap_has_notepad() { file_hex "$DATA/dlmap.dat" | grep -q "$(utf16_hex 'notepad.exe')"; }
wait_until 10 dlmap_has_notepad || fail "dlmap.dat lacks notepad.exe"
cp "$DATA/dlmap.dat" "$ARTIFACTS/dlmap.dat"

step "Exit and VRN.log"
exit_program
LOGFILE=$DATA/VRN.log
[ -f "$LOGFILE" ] || fail "no VRN.log after Exit"
cp "$LOGFILE" "$ARTIFACTS/VRN.log"
log_texts "$LOGFILE" >"$ARTIFACTS/texts.txt"
# Four OKs, each one "Initializing new program settings . . ." line.
expect_eq "$(grep -c '^Initializing new program settings \. \. \.$' "$ARTIFACTS/texts.txt")" 4 "apply lines"

step "Greek at 96 dpi"
set_setting Language 1
start_program
open_options '^Επιλογές$'
screenshot_pages el-96
rig keys Escape
exit_program

step "Greek and English at 144 dpi"
set_dpi 144
start_program
open_options '^Επιλογές$'
screenshot_pages el-144
rig keys Escape
exit_program
set_setting Language 0
start_program
open_options '^Options$'
screenshot_pages en-144
rig keys Escape
exit_program
set_dpi 96

# Helpers for end-to-end scenarios; a scenario sources this file:
#   . "$(dirname "$0")/../scenario.sh"
# and then calls rig_up once. The rig is stopped when the scenario ends,
# whatever way it ends. A scenario exits 0 when it passed, 77 when it cannot
# run here (skipped), anything else when it failed.

RIG=${RIG:-$(cd "$(dirname "$0")/.." && pwd)/rig.sh}
RIG_SOURCE=${RIG_SOURCE:-$(cd "$(dirname "$RIG")/../.." && pwd)}
RIG_BUILD=${RIG_BUILD:-$RIG_SOURCE/build/windows}
RIG_DIR=${RIG_DIR:-$RIG_BUILD/e2e}
export RIG RIG_BUILD RIG_DIR
SCENARIO=$(basename "$0" .sh)
# Screenshots and other keepsakes of this scenario (not assertions).
ARTIFACTS=$RIG_DIR/artifacts/$SCENARIO

rig() { sh "$RIG" "$@"; }

fail() {
  printf 'FAIL %s: %s\n' "$SCENARIO" "$*" >&2
  rig screenshot "$ARTIFACTS/failure.png" 2>/dev/null
  exit 1
}

skip() {
  printf 'SKIP %s: %s\n' "$SCENARIO" "$*" >&2
  exit 77
}

step() { printf '%s: %s\n' "$SCENARIO" "$*" >&2; }

expect_eq() {
  [ "$1" = "$2" ] || fail "$3: expected [$2], got [$1]"
}

# wait_until SECONDS COMMAND...: runs COMMAND every 0.2 s until it succeeds.
# (Helpers use _-prefixed names: sh has no local variables.)
wait_until() {
  _limit=$(($1 * 5))
  shift
  _tries=0
  until "$@"; do
    _tries=$((_tries + 1))
    [ $_tries -gt "$_limit" ] && return 1
    sleep 0.2
  done
  return 0
}

rig_up() {
  for _tool in Xvfb xdotool xprop xwd import convert pulseaudio pactl wine; do
    command -v "$_tool" >/dev/null 2>&1 || skip "$_tool is not installed"
  done
  rm -rf "$ARTIFACTS"
  mkdir -p "$ARTIFACTS"
  trap 'rig stop' EXIT
  trap 'exit 1' INT TERM
  RIG_OWNER=$$ rig start || fail "the rig did not start"
}

# Wine's Core Audio listing, cached per call of list_endpoints.
list_endpoints() { ENDPOINTS=$(rig endpoints) || fail "endpoints_probe failed"; }
# endpoint_count render|capture
endpoint_count() { printf '%s\n' "$ENDPOINTS" | awk -F '\t' -v f="$1" '$1 == f' | wc -l | tr -d ' '; }
# endpoint_id render|capture POSITION (from 1)
endpoint_id() { printf '%s\n' "$ENDPOINTS" | awk -F '\t' -v f="$1" -v n="$2" '$1 == f && $2 == n { print $3 }'; }
endpoint_name() { printf '%s\n' "$ENDPOINTS" | awk -F '\t' -v f="$1" -v n="$2" '$1 == f && $2 == n { print $4 }'; }
# default_id render|capture console|multimedia|communications
default_id() {
  printf '%s\n' "$ENDPOINTS" | awk -F '\t' -v f="$1" -v r="$2" '$1 == "default" && $2 == f && $3 == r { print $4 }'
}

# The journal's lines after the first N (N from journal_length before the action).
journal_length() { rig journal | wc -l | tr -d ' '; }
journal_since() { rig journal | tail -n "+$(($1 + 1))"; }
# journal_has LINE: the journal holds this line.
journal_has() { rig journal | grep -qxF "$1"; }

# A Unix path as the Windows path Wine gives it on drive Z:.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# The desktop's windows (window_titles.exe), cached per call of list_windows.
list_windows() { WINDOWS=$(rig windows) || fail "window_titles failed"; }
# visible_windows: "<process id><TAB><process><TAB><class><TAB><title>" of each visible window.
visible_windows() { printf '%s\n' "$WINDOWS" | awk -F '\t' '$1 == "window" && $2 == 1 { print $3 "\t" $4 "\t" $5 "\t" $6 }'; }
# has_visible_window PROCESS TITLE-PATTERN: a visible window of PROCESS (base name) whose
# whole title matches the extended regular expression.
has_visible_window() {
  printf '%s\n' "$WINDOWS" | awk -F '\t' -v p="$1" '$1 == "window" && $2 == 1 && $4 == p { print $6 }' |
    grep -Eqx -e "$2"
}
# foreground_window: "<process><TAB><class><TAB><title>" of the foreground window.
foreground_window() { printf '%s\n' "$WINDOWS" | awk -F '\t' '$1 == "foreground" { print $2 "\t" $3 "\t" $4 }'; }
# input_state: "<active class><TAB><focus class><TAB><menu owner class><TAB><flags>" of the
# foreground thread: where typed keys go.
input_state() { printf '%s\n' "$WINDOWS" | awk -F '\t' '$1 == "input" { print $2 "\t" $3 "\t" $4 "\t" $5 }'; }
# taskbar_buttons: how many buttons the visible taskbar shows, Start included (0 while
# Wine hides the taskbar: no tray icon and no window with a button).
taskbar_buttons() { printf '%s\n' "$WINDOWS" | awk -F '\t' '$1 == "taskbar" { n++ } END { print n + 0 }'; }
# balloon_texts: the texts of the shell's visible balloons and tooltips, one a line.
balloon_texts() { printf '%s\n' "$WINDOWS" | awk -F '\t' '$1 == "text" { print $3 }'; }

# The program's registry key and values.
SETTINGS_KEY='HKCU\Software\Kestrova Technologies\Varnolet 7'
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
# registry_values KEY: "<name><TAB><type><TAB><data>" of each value of KEY (nothing when absent).
registry_values() {
  rig wine reg query "$1" </dev/null 2>/dev/null | tr -d '\r' |
    sed -n 's/^    \(.*\)    \(REG_[A-Z_]*\)    \(.*\)$/\1\t\2\t\3/p'
}
# registry_value KEY NAME: "<type><TAB><data>" of one value, nothing when absent.
registry_value() { registry_values "$1" | awk -F '\t' -v n="$2" '$1 == n { print $2 "\t" $3 }'; }
# set_setting NAME NUMBER: a REG_DWORD value of the program's key.
set_setting() {
  rig wine reg add "$SETTINGS_KEY" /v "$1" /t REG_DWORD /d "$2" /f </dev/null >/dev/null 2>&1 ||
    fail "could not set $1"
}
# setting_is NAME NUMBER: the program's REG_DWORD value NAME holds NUMBER.
setting_is() { [ "$(registry_value "$SETTINGS_KEY" "$1")" = "$(printf 'REG_DWORD\t0x%x' "$2")" ]; }

# write_bytes FILE HEX...: FILE holds exactly these bytes (two hex digits each).
write_bytes() {
  _file=$1
  shift
  : >"$_file"
  for _byte in "$@"; do printf "\\$(printf '%03o' "0x$_byte")" >>"$_file"; done
}
# hex_of TEXT: the bytes of TEXT in hex, one argument each.
hex_of() { printf '%s' "$1" | od -An -v -tx1 | tr -s ' \n' ' '; }
# ctrl_shift_record POSITION IDENTIFIER: one hmap.dat record in hex: the 48
# key flags with POSITION set, Alt 0, Shift 1, Ctrl 1, the identifier's
# length (32 bits, little-endian) and its bytes.
ctrl_shift_record() {
  _i=0
  _flags=
  while [ $_i -lt 48 ]; do
    if [ $_i -eq "$1" ]; then _flags="$_flags 01"; else _flags="$_flags 00"; fi
    _i=$((_i + 1))
  done
  _length=$(printf '%s' "$2" | wc -c)
  printf '%s 00 01 01 %02x %02x 00 00 %s' "$_flags" $((_length % 256)) $((_length / 256)) "$(hex_of "$2")"
}

# Unix path of the program's data folder (%APPDATA%\Varnolet 7\Data).
data_folder() { printf '%s/Varnolet 7/Data' "$(rig appdata)"; }

# log_texts FILE: the lines of an activity log file without their time stamps.
log_texts() { sed '1s/^\xEF\xBB\xBF//; s/^[0-9]*\/[0-9]*\/[0-9]* [0-9]*:[0-9]*:[0-9]* :: //' "$1"; }
# A time stamp: day/month/year hour:minute:second in decimal without leading zeros.
TIME_STAMP='([1-9]|[12][0-9]|3[01])/([1-9]|1[0-2])/[1-9][0-9]{3} ([0-9]|1[0-9]|2[0-3]):([0-9]|[1-5][0-9]):([0-9]|[1-5][0-9])'
# in_order FILE LINE...: FILE holds these whole lines in this order (others may come between).
in_order() {
  _file=$1
  shift
  printf '%s\n' "$@" >"$ARTIFACTS/.expected"
  awk 'NR == FNR { want[++n] = $0; next } i < n && $0 == want[i + 1] { i++ } END { exit !(i == n) }' \
    "$ARTIFACTS/.expected" "$_file"
}

#!/bin/sh
# The rig's own test, with a small tray program instead of Varnolet 7: the
# tray icon answers a right click, the popup menu's Playback submenu lists
# Wine's render endpoints in Wine's order, choosing item N reaches the policy
# stand-in with the N-th endpoint's identifier for both roles and Wine then
# reports it as the default; the checked default reaches nothing; a recording
# device switches the input defaults; a refused switch changes nothing; Exit
# ends the program.
set -u
. "$(dirname "$0")/../scenario.sh"

PROBE=$RIG_BUILD/tests/e2e/tray_probe.exe
[ -f "$PROBE" ] || fail "$PROBE is missing"
LOG=$RIG_DIR/tray_probe.log

rig_up
list_endpoints
renders=$(endpoint_count render)
captures=$(endpoint_count capture)
step "Wine lists $renders render and $captures capture endpoints"
[ "$renders" -ge 3 ] || fail "fewer render endpoints than the demo devices"
printf '%s\n' "$ENDPOINTS" | grep -q "	Ακουστικά\$" || fail "the Greek playback device is not listed"
printf '%s\n' "$ENDPOINTS" | grep -q "	Monitor of Headset\$" || fail "the headset's monitor is not listed"

rm -f "$LOG"
rig program "$PROBE" "$(printf 'Z:%s' "$LOG" | tr / '\\')"
rig wait-tray 30
wait_until 10 grep -q '^ready' "$LOG" || fail "the tray probe did not start"

chosen_count() { grep -c '^chose' "$LOG"; }
chosen_more_than() { [ "$(chosen_count)" -gt "$1" ]; }

n=1
while [ "$n" -le "$renders" ]; do
  list_endpoints
  id=$(endpoint_id render "$n")
  before=$(default_id render multimedia)
  journal=$(journal_length)
  chosen=$(chosen_count)
  rig tray
  [ "$n" -eq 2 ] && sleep 1 && rig screenshot "$ARTIFACTS/menu.png"
  rig choose 1 "$n"
  if [ "$id" = "$before" ]; then
    # The default is checked and disabled: choosing it does nothing.
    sleep 2
    expect_eq "$(journal_since "$journal")" "" "journal after choosing the default (item $n)"
    expect_eq "$(chosen_count)" "$chosen" "probe choices after choosing the default"
    rig keys Escape Escape
  else
    wait_until 10 chosen_more_than "$chosen" || fail "item $n was not chosen"
    expect_eq "$(tail -n 1 "$LOG")" "chose render $n ok" "the probe's result for item $n"
    expect_eq "$(journal_since "$journal")" "$id,1
$id,2" "journal after choosing item $n"
    list_endpoints
    expect_eq "$(default_id render multimedia)" "$id" "Wine's multimedia default after item $n"
    expect_eq "$(default_id render communications)" "$id" "Wine's communications default after item $n"
    rig defaults | grep -qx "DefaultOutput=$id" || fail "DefaultOutput is not item $n"
  fi
  n=$((n + 1))
done

# Recording: the last capture endpoint (a new default unless it already is).
id=$(endpoint_id capture "$captures")
journal=$(journal_length)
rig tray
rig choose 2 "$captures"
if [ "$id" != "$(default_id capture multimedia)" ]; then
  wait_until 10 journal_has "$id,2" || fail "the recording switch did not reach the stand-in"
  expect_eq "$(journal_since "$journal")" "$id,1
$id,2" "journal after the recording switch"
  rig defaults | grep -qx "DefaultInput=$id" || fail "DefaultInput is not the chosen recording device"
fi

# A switch the stand-in refuses (as it refuses an identifier Wine does not
# list): the call reaches it, fails with the system's result, nothing changes.
list_endpoints
pos=$(printf '%s\n' "$ENDPOINTS" | awk -F '\t' '$1 == "render" && $4 == "Headset" { print $2 }')
[ -n "$pos" ] || fail "no Headset among the render endpoints"
id=$(endpoint_id render "$pos")
output=$(default_id render multimedia)
[ "$id" != "$output" ] || fail "the headset should not be the default here"
journal=$(journal_length)
chosen=$(chosen_count)
rig refuse "$id"
rig tray
rig choose 1 "$pos"
wait_until 10 chosen_more_than "$chosen" || fail "the refused headset was not chosen"
case $(tail -n 1 "$LOG") in
"chose render $pos failed "?*) ;;
*) fail "the probe's result for the refused headset: $(tail -n 1 "$LOG")" ;;
esac
expect_eq "$(journal_since "$journal")" "$id,1
$id,2" "journal after choosing the refused headset"
list_endpoints
expect_eq "$(default_id render multimedia)" "$output" "Wine's default after the refused switch"
rig refuse

# Exit (Playback, Recording, separator, Exit: the third choosable item).
rig tray
rig choose 3
rig wait-exit 30 || fail "the probe did not end after Exit"
grep -q '^exit' "$LOG" || fail "the probe did not log its exit"
step "passed"

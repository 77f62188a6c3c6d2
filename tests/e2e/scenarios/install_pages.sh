#!/bin/sh
# The installer's pages and its refusal of old systems, in a fresh prefix:
#   - on an English system its window speaks English ("Cancel"), on a Greek
#     one Greek ("Άκυρο");
#   - on a system older than Vista (Wine told to be Windows XP for the
#     installer) it shows a box saying that Varnolet 7 needs Windows Vista or
#     later and installs nothing, silent (/S) or not.
# Screenshots of both languages' first page and of the box are kept.
set -u
. "$(dirname "$0")/../packages.sh"

packages_up
INSTDIR="$(unix_folder LOCALAPPDATA)/Programs/Varnolet 7"

# dialog_text TEXT: a control of a visible dialog box of the installer says TEXT.
dialog_text() {
  list_windows
  printf '%s\n' "$WINDOWS" | awk -F '\t' -v t="$1" '$1 == "child" && $4 == t { found = 1 } END { exit !found }'
}

# pages LANG BUTTON NAME: the installer's first page on a system in LANG
# shows BUTTON; the screenshot is NAME.png.
pages() {
  step "the pages in $1"
  _record=$ARTIFACTS/$3.txt
  LANG=$1 LC_ALL=$1 rig program --record "$_record" "$(winpath "$SETUP")"
  wait_until 30 dialog_text "$2" || {
    printf '%s\n' "$WINDOWS" >"$ARTIFACTS/$3-windows.txt"
    fail "no \"$2\" on the installer's page in $1 (see $ARTIFACTS/$3-windows.txt)"
  }
  rig screenshot "$ARTIFACTS/$3.png"
  # Cancel, and confirm.
  rig keys Escape
  sleep 1
  rig keys Return
  rig wait-exit 30 || fail "the installer did not end after Cancel"
}
pages en_US.UTF-8 Cancel pages-english
pages el_GR.UTF-8 "Άκυρο" pages-greek
[ ! -e "$INSTDIR" ] || fail "a cancelled installer left $INSTDIR"

step "Windows XP: refused"
APP_KEY="HKCU\\Software\\Wine\\AppDefaults\\$(basename "$SETUP")"
rig wine reg add "$APP_KEY" /v Version /t REG_SZ /d winxp64 /f </dev/null >/dev/null 2>&1 ||
  fail "could not make Wine pose as Windows XP"
rig wine "$(winpath "$SETUP")" /S </dev/null >/dev/null 2>&1
sleep 2
[ ! -e "$INSTDIR" ] || fail "installed on Windows XP (silent)"
RECORD=$ARTIFACTS/refused.txt
LANG=en_US.UTF-8 rig program --record "$RECORD" "$(winpath "$SETUP")"
wait_until 30 dialog_text "Varnolet 7 needs Windows Vista or later. It cannot be installed on this version of Windows." ||
  fail "no box saying that Windows Vista or later is needed"
rig screenshot "$ARTIFACTS/refused.png"
rig keys Return
wait_until 30 rig exit-code "$RECORD" >/dev/null || fail "the installer did not end after the box"
[ ! -e "$INSTDIR" ] || fail "installed on Windows XP"
expect_eq "$(registry_values "$UNINSTALL_KEY_USER")" "" "the Programs and Features entry on Windows XP"
packages_passed

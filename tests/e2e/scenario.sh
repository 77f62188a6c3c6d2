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
  for _tool in Xvfb xdotool xwd convert pulseaudio pactl wine; do
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

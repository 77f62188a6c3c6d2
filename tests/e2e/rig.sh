#!/bin/sh
# The end-to-end rig: the real program under Wine, with sound devices that
# Wine's Core Audio lists, a stand-in for the policy-configuration objects,
# and xdotool to drive it. See tests/e2e/README.md.
#
#   rig.sh start                 X display, PulseAudio with demo devices, Wine prefix, stand-in
#   rig.sh stop                  stop everything this rig started
#   rig.sh program EXE [ARGS]    start EXE (a Unix path, or a Windows one such as an
#                                installed program) in a Wine virtual desktop (background)
#   rig.sh program --record FILE EXE [ARGS]
#                                the same, through launcher.exe, which writes "started PID"
#                                and, when EXE ends, "exit CODE" to FILE
#   rig.sh launch FILE EXE [ARGS]
#                                start EXE through launcher.exe on the running desktop
#                                (a second program, or a second instance); FILE as above
#   rig.sh exit-code FILE        the exit code recorded in FILE (fails while none is)
#   rig.sh wait-tray [SECONDS]   wait until a tray icon shows
#   rig.sh tray-shown            succeeds when a tray icon shows now
#   rig.sh wait-exit [SECONDS]   wait until the program has ended
#   rig.sh tray [BUTTON]         click the tray icon (3, the right button, by default)
#   rig.sh choose TOP [SUB]      choose item TOP of the open popup menu (from 1, separators
#                                not counted) and item SUB of its submenu, by keyboard
#   rig.sh keys KEY...           send keys (xdotool names: Down, Return, Escape, ...), to the
#                                open popup menu when there is one
#   rig.sh click X Y [BUTTON]    click at desktop coordinates
#   rig.sh screenshot FILE.png   the whole desktop
#   rig.sh windows               the desktop's top-level windows, the foreground window and
#                                the shell's balloon texts (window_titles.exe format)
#   rig.sh journal               the stand-in's calls, one "identifier,role" a line
#   rig.sh defaults              Wine's default values (NAME=identifier)
#   rig.sh endpoints             what Wine's Core Audio lists (endpoints_probe format)
#   rig.sh reset                 forget Wine's defaults and empty the journal
#   rig.sh refuse [ID...|*]      make the stand-in refuse these identifiers (all with *)
#                                as if Wine did not list them; no argument: refuse none
#   rig.sh unplug NAME           remove a demo device (headset, akoustika, microphone);
#                                a running Wine process keeps listing it
#   rig.sh pactl ARGS...         pactl against the rig's PulseAudio
#   rig.sh wine ARGS...          run a Wine command in the rig's prefix
#   rig.sh unixpath WINPATH      a Windows path of the prefix as a Unix path
#   rig.sh appdata               the Unix path of the prefix user's %APPDATA%
#   rig.sh env                   the rig's environment, as shell assignments
#   rig.sh run EXE               start, program EXE, wait until it ends, stop (for `make run`)
#
# Building blocks used by ctest:
#   rig.sh recreate-prefix       make the rig's prefix afresh (fixture e2e_prefix)
#   rig.sh wine-tier-start       PulseAudio and the stand-in for the Wine tests (fixture wine_audio)
#   rig.sh wine-tier-stop
#
# Environment: RIG_BUILD (the windows build tree; build/windows by default),
# RIG_DIR (the rig's folder; $RIG_BUILD/e2e), RIG_DISPLAY (use this X display
# instead of a private Xvfb), RIG_SOUND=demo|system|auto (auto: the demo
# devices unless the machine's own sound server lists a playback device),
# RIG_MENU_DELAY (seconds to wait for a menu to open; 1), RIG_SUBMENU_DELAY
# (the same for a submenu; 0.5), RIG_KEY_DELAY (seconds
# after each key; 0.25), RIG_KEY_HOLD (seconds a key is held; 0.1, 0: xdotool's
# press-and-release at once), RIG_WINEDEBUG (the
# program's WINEDEBUG channels; its output goes to $RIG_DIR/state/program.log).
set -u

RIG_SCRIPT=$(cd "$(dirname "$0")" && pwd)/$(basename "$0")
RIG_SOURCE=$(cd "$(dirname "$0")/../.." && pwd)
RIG_BUILD=${RIG_BUILD:-$RIG_SOURCE/build/windows}
RIG_DIR=${RIG_DIR:-$RIG_BUILD/e2e}
STATE=$RIG_DIR/state
ENV_FILE=$STATE/rig.env
DESKTOP_NAME=Varnolet
DESKTOP_SIZE=1280x800
STANDIN_CLASS='{294935CE-F637-4E7C-A41B-AB255460B862}'
DRIVER_KEY='HKCU\Software\Wine\Drivers\winepulse.drv'

say() { printf 'rig: %s\n' "$*" >&2; }
die() {
  say "$*"
  exit 1
}

# A Unix path as the Windows path Wine gives it on drive Z:.
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }

# Is the process with this id (from one of our pid files) still running?
alive() { [ -n "$1" ] && kill -0 "$1" 2>/dev/null; }

# Ends one process we started, by its id: TERM, then KILL after 5 s.
end_process() {
  pid=$1
  alive "$pid" || return 0
  kill "$pid" 2>/dev/null
  n=0
  while alive "$pid" && [ $n -lt 50 ]; do
    sleep 0.1
    n=$((n + 1))
  done
  alive "$pid" && kill -9 "$pid" 2>/dev/null
  return 0
}

pid_of() { [ -f "$1" ] && cat "$1" || true; }

use_prefix() {
  WINEPREFIX=$1
  WINEDEBUG=-all
  WINEARCH=win64
  # No Mono or Gecko prompts; no menu builder writing .desktop files and icons
  # for every shortcut into the Linux user's home.
  WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export WINEPREFIX WINEDEBUG WINEARCH WINEDLLOVERRIDES
}

load_env() {
  [ -f "$ENV_FILE" ] || die "the rig is not running (no $ENV_FILE); run: $RIG_SCRIPT start"
  # shellcheck disable=SC1090
  . "$ENV_FILE"
  export DISPLAY WINEPREFIX WINEDEBUG WINEARCH WINEDLLOVERRIDES
  [ -n "${PULSE_SERVER:-}" ] && export PULSE_SERVER
  return 0
}

# ------------------------------------------------------------------ PulseAudio

# Starts a private PulseAudio whose runtime folder is recorded in $1 (a file).
# Demo devices: two playback devices (one with a Greek name) and a microphone;
# each playback device's monitor is a recording device as well.
pulse_start() {
  record=$1
  pulse_stop "$record"
  command -v pulseaudio >/dev/null || die "pulseaudio is not installed"
  runtime=$(mktemp -d "${TMPDIR:-/tmp}/varnolet-pulse.XXXXXX") || die "no temporary folder"
  mkdir -p "$runtime/state"
  # As root PulseAudio warns that it should not run as root, and works.
  PULSE_RUNTIME_PATH=$runtime PULSE_STATE_PATH=$runtime/state \
    pulseaudio --daemonize=yes --exit-idle-time=-1 -n --use-pid-file=yes --realtime=no --high-priority=no \
    --log-target="file:$runtime/pulse.log" \
    --load="module-native-protocol-unix socket=$runtime/native auth-anonymous=1" \
    --load="module-null-sink sink_name=headset sink_properties=device.description=Headset" \
    --load="module-null-sink sink_name=akoustika sink_properties=device.description=Ακουστικά" \
    --load="module-null-source source_name=microphone description=Microphone" \
    </dev/null >/dev/null 2>&1 || {
    rm -rf "$runtime"
    die "PulseAudio did not start"
  }
  n=0
  until PULSE_SERVER="unix:$runtime/native" pactl info >/dev/null 2>&1; do
    n=$((n + 1))
    [ $n -gt 100 ] && die "PulseAudio does not answer on $runtime/native"
    sleep 0.1
  done
  printf '%s\n' "$runtime" >"$record"
}

pulse_stop() {
  record=$1
  [ -f "$record" ] || return 0
  runtime=$(cat "$record")
  rm -f "$record"
  [ -n "$runtime" ] && [ -d "$runtime" ] || return 0
  end_process "$(pid_of "$runtime/pid")"
  rm -rf "$runtime"
}

# Does the machine's own sound server list a playback device?
system_has_sound() {
  env -u PULSE_SERVER pactl list short sinks 2>/dev/null | grep -q .
}

# ------------------------------------------------------------------ X display

xvfb_start() {
  if [ -n "${RIG_DISPLAY:-}" ]; then
    DISPLAY=$RIG_DISPLAY
    return 0
  fi
  command -v Xvfb >/dev/null || die "Xvfb is not installed"
  : >"$STATE/xvfb.display"
  # -displayfd: the server picks a free display and writes its number.
  Xvfb -displayfd 3 -screen 0 "${DESKTOP_SIZE}x24" -nolisten tcp 3>"$STATE/xvfb.display" \
    </dev/null >"$STATE/xvfb.log" 2>&1 &
  echo $! >"$STATE/xvfb.pid"
  n=0
  while ! grep -q '[0-9]' "$STATE/xvfb.display"; do
    n=$((n + 1))
    [ $n -gt 100 ] && die "Xvfb did not start (see $STATE/xvfb.log)"
    sleep 0.1
  done
  DISPLAY=:$(tr -dc '0-9' <"$STATE/xvfb.display")
}

# ------------------------------------------------------------------ Wine prefix

prefix_create() {
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  wineboot --init </dev/null >/dev/null 2>&1
  wineserver --wait
  [ -f "$WINEPREFIX/system.reg" ] || die "could not create the Wine prefix $WINEPREFIX"
}

# Copies the stand-in into $1 (its journal goes beside it) and registers it
# with the Wine command $2 (wine, or the Wine tier's wine-run).
standin_register() {
  folder=$1
  runner=$2
  dll=$RIG_BUILD/tests/e2e/policy_standin.dll
  [ -f "$dll" ] || die "$dll is missing: build the windows tree first"
  mkdir -p "$folder"
  cp "$dll" "$folder/policy_standin.dll"
  rm -f "$folder/policy_journal.txt" "$folder/policy_refuse.txt"
  $runner regsvr32 /s "$(winpath "$folder/policy_standin.dll")" </dev/null >/dev/null 2>&1
  $runner reg query "HKLM\\Software\\Classes\\CLSID\\$STANDIN_CLASS\\InprocServer32" </dev/null >/dev/null 2>&1 ||
    die "the policy stand-in is not registered in $WINEPREFIX"
}

defaults_forget() {
  wine reg delete "$DRIVER_KEY" /f </dev/null >/dev/null 2>&1
  return 0
}

# ------------------------------------------------------------------ start / stop

write_env() {
  {
    printf "DISPLAY='%s'\n" "$DISPLAY"
    printf "WINEPREFIX='%s'\n" "$WINEPREFIX"
    printf "WINEDEBUG='%s'\nWINEARCH='%s'\nWINEDLLOVERRIDES='%s'\n" "$WINEDEBUG" "$WINEARCH" "$WINEDLLOVERRIDES"
    [ -n "${PULSE_SERVER:-}" ] && printf "PULSE_SERVER='%s'\n" "$PULSE_SERVER"
    printf "RIG_DIR='%s'\n" "$RIG_DIR"
  } >"$ENV_FILE"
}

# Ends the rig when the process that started it is gone (a scenario killed by
# a timeout cannot run its own trap).
watchdog_start() {
  owner=$1
  [ "${RIG_NO_WATCHDOG:-0}" = 1 ] && return 0
  (
    trap '' HUP INT
    while kill -0 "$owner" 2>/dev/null && [ -f "$ENV_FILE" ]; do sleep 2; done
    [ -f "$ENV_FILE" ] && RIG_DIR=$RIG_DIR RIG_BUILD=$RIG_BUILD sh "$RIG_SCRIPT" stop
  ) </dev/null >/dev/null 2>&1 &
  echo $! >"$STATE/watchdog.pid"
}

cmd_start() {
  [ -f "$ENV_FILE" ] && cmd_stop
  mkdir -p "$STATE" "$RIG_DIR/artifacts"
  use_prefix "$RIG_DIR/wineprefix"
  xvfb_start
  export DISPLAY
  sound=${RIG_SOUND:-demo}
  if [ "$sound" = auto ]; then
    if system_has_sound; then sound=system; else sound=demo; fi
  fi
  if [ "$sound" = demo ]; then
    pulse_start "$STATE/pulse.dir"
    PULSE_SERVER="unix:$(cat "$STATE/pulse.dir")/native"
    export PULSE_SERVER
  fi
  write_env
  prefix_create
  # One Wine server for the rig's life, with Wine's system processes started
  # away from the caller's output (a command substitution or ctest's pipe
  # would otherwise wait for them).
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c rem </dev/null >/dev/null 2>&1
  standin_register "$RIG_DIR" wine
  # A program that crashes ends instead of waiting in the debugger.
  wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
    </dev/null >/dev/null 2>&1
  defaults_forget
  watchdog_start "${RIG_OWNER:-$PPID}"
  say "running on DISPLAY=$DISPLAY, prefix $WINEPREFIX, sound: $sound"
}

cmd_stop() {
  [ -f "$ENV_FILE" ] && . "$ENV_FILE" 2>/dev/null
  rm -f "$ENV_FILE"
  end_process "$(pid_of "$STATE/program.pid")"
  rm -f "$STATE/program.pid"
  if [ -d "$RIG_DIR/wineprefix" ]; then
    WINEPREFIX=$RIG_DIR/wineprefix wineserver -k >/dev/null 2>&1
  fi
  pulse_stop "$STATE/pulse.dir"
  end_process "$(pid_of "$STATE/xvfb.pid")"
  rm -f "$STATE/xvfb.pid"
  watchdog=$(pid_of "$STATE/watchdog.pid")
  rm -f "$STATE/watchdog.pid"
  # The watchdog itself may be the one stopping the rig.
  [ -n "$watchdog" ] && [ "$watchdog" != "$$" ] && [ "$watchdog" != "$PPID" ] && end_process "$watchdog"
  return 0
}

cmd_recreate_prefix() {
  [ -f "$ENV_FILE" ] && cmd_stop
  mkdir -p "$STATE"
  use_prefix "$RIG_DIR/wineprefix"
  wineserver -k >/dev/null 2>&1
  rm -rf "$WINEPREFIX"
  # wineboot wants a display; a private one for as long as it takes.
  xvfb_start
  export DISPLAY
  prefix_create
  wineserver -k >/dev/null 2>&1
  end_process "$(pid_of "$STATE/xvfb.pid")"
  rm -f "$STATE/xvfb.pid"
}

# ------------------------------------------------------------------ the program

# A program given as a Unix path as Wine sees it; a Windows path as it is.
program_path() {
  case $1 in
  /*) winpath "$1" ;;
  *) printf '%s' "$1" ;;
  esac
}

launcher_exe() {
  launcher=$RIG_BUILD/tests/e2e/launcher.exe
  [ -f "$launcher" ] || die "$launcher is missing: build the windows tree first"
}

cmd_program() {
  record=
  if [ "${1:-}" = --record ]; then
    [ $# -ge 3 ] || die "usage: rig.sh program --record FILE EXE [ARGS]"
    record=$2
    shift 2
  fi
  [ $# -ge 1 ] || die "usage: rig.sh program EXE [ARGS]"
  load_env
  # A Unix path starts in its own folder; a Windows path (an installed
  # program, C:\...) in the rig's folder.
  case $1 in
  [A-Za-z]:\\*)
    exe=$1
    folder=$RIG_DIR
    ;;
  *)
    exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
    [ -f "$exe" ] || die "no program $exe"
    folder=$(dirname "$exe")
    ;;
  esac
  shift
  : >"$STATE/program.log"
  # A desktop of the same name that is still closing would take the new
  # program in and then end with it: wait until the last one is gone.
  n=0
  while xdotool search --name "^$DESKTOP_NAME - Wine desktop\$" >/dev/null 2>&1; do
    n=$((n + 1))
    [ $n -gt 150 ] && die "the previous Wine desktop did not close"
    sleep 0.1
  done
  if [ -n "$record" ]; then
    launcher_exe
    rm -f "$record"
    set -- "$(winpath "$launcher")" "$(winpath "$record")" "$(program_path "$exe")" "$@"
  else
    set -- "$(program_path "$exe")" "$@"
  fi
  (cd "$folder" && WINEDEBUG=${RIG_WINEDEBUG:-$WINEDEBUG} exec wine explorer "/desktop=$DESKTOP_NAME,$DESKTOP_SIZE" "$@") \
    </dev/null >>"$STATE/program.log" 2>&1 &
  echo $! >"$STATE/program.pid"
  n=0
  until xdotool search --name "^$DESKTOP_NAME - Wine desktop\$" >/dev/null 2>&1; do
    n=$((n + 1))
    [ $n -gt 300 ] && die "the Wine desktop did not appear (see $STATE/program.log)"
    sleep 0.1
  done
}

# Waits until the launcher recorded the start (or the failure) in $1.
wait_record() {
  n=0
  until grep -q '^started\|^failed' "$1" 2>/dev/null; do
    n=$((n + 1))
    [ $n -gt 300 ] && die "the launcher did not start (see $STATE/launch.log)"
    sleep 0.1
  done
  ! grep -q '^failed' "$1" || die "the launcher could not start the program: $(cat "$1")"
}

cmd_launch() {
  [ $# -ge 2 ] || die "usage: rig.sh launch FILE EXE [ARGS]"
  load_env
  launcher_exe
  record=$1
  exe=$(program_path "$2")
  shift 2
  rm -f "$record"
  wine "$launcher" --desktop "$DESKTOP_NAME" "$(winpath "$record")" "$exe" "$@" \
    </dev/null >>"$STATE/launch.log" 2>&1 &
  wait_record "$record"
}

cmd_exit_code() {
  [ $# -ge 1 ] || die "usage: rig.sh exit-code FILE"
  [ -f "$1" ] || return 1
  sed -n 's/^exit \([0-9-]*\)$/\1/p' "$1" | grep . || return 1
}

cmd_wait_exit() {
  load_env
  limit=$((${1:-30} * 10))
  pid=$(pid_of "$STATE/program.pid")
  n=0
  while alive "$pid"; do
    n=$((n + 1))
    [ $n -gt "$limit" ] && return 1
    sleep 0.1
  done
  rm -f "$STATE/program.pid"
  return 0
}

# The first tray icon sits at the right end of the taskbar at the bottom.
tray_point() {
  width=${DESKTOP_SIZE%x*}
  height=${DESKTOP_SIZE#*x}
  TRAY_X=${RIG_TRAY_X:-$((width - 10))}
  TRAY_Y=${RIG_TRAY_Y:-$((height - 10))}
}

# Does a tray icon show now? An empty notification area is one plain colour.
# (Wine's shell draws its icons into the taskbar: they are no windows.)
tray_shown() {
  tray_point
  colours=$(import -silent -window root -crop "16x16+$((TRAY_X - 8))+$((TRAY_Y - 8))" +repage png:- 2>/dev/null |
    convert png:- -format '%k' info: 2>/dev/null)
  [ -n "$colours" ] && [ "$colours" -gt 2 ]
}

cmd_tray_shown() {
  load_env
  tray_shown
}

cmd_wait_tray() {
  load_env
  limit=$((${1:-30} * 2))
  n=0
  until tray_shown; do
    n=$((n + 1))
    [ $n -gt "$limit" ] && die "no tray icon appeared"
    sleep 0.5
  done
  return 0
}

# Moves the pointer to X Y and clicks. (mousemove --sync would wait for ever
# when the pointer is already there.)
click_at() {
  xdotool mousemove "$1" "$(($2 - 1))" sleep 0.1 mousemove "$1" "$2" sleep 0.1 click "$3"
}

cmd_tray() {
  load_env
  tray_point
  click_at "$TRAY_X" "$TRAY_Y" "${1:-3}"
}

# One key, held for a moment as a typist holds it, then time for Wine's menu
# loop to act on it. Held keys: xdotool's own "key" sends the press and the
# release at once, and when the press makes a background program that
# listens to raw input take the foreground (the last letter of the monitor
# sequence), Wine loses the release it had already queued for that program.
key() {
  hold=${RIG_KEY_HOLD:-0.1}
  if [ "$hold" = 0 ]; then
    xdotool key "$1"
  else
    xdotool keydown "$1" sleep "$hold" keyup "$1"
  fi
  sleep "${RIG_KEY_DELAY:-0.25}"
}

# Gives the X input focus to the open popup menu. Wine hands a typed key to
# the process whose X window has the X focus, and drops it there when that
# process's window is not the foreground one. A program that opens its menu
# from the tray has no visible window of its own that could take the focus,
# so the focus stays where it was: on the desktop (keys reach the menu), or,
# once another program's window has closed and the taskbar took over, on the
# taskbar (keys are dropped, though the program is the foreground). The menu
# is the program's visible window without a name (explorer's are skipped);
# with no menu open nothing changes.
focus_menu() {
  menu=
  for window in $(xdotool search --onlyvisible --name '^$' 2>/dev/null); do
    class=$(xprop -id "$window" WM_CLASS 2>/dev/null)
    case $class in *'= "'*) ;; *) continue ;; esac
    case $class in *'"explorer.exe"'*) continue ;; esac
    menu=$window
  done
  [ -n "$menu" ] && xdotool windowfocus "$menu" 2>/dev/null
  return 0
}

cmd_choose() {
  [ $# -ge 1 ] || die "usage: rig.sh choose TOP [SUB]"
  case "$1${2:-1}" in *[!0-9]*) die "usage: rig.sh choose TOP [SUB] (positions from 1)" ;; esac
  load_env
  sleep "${RIG_MENU_DELAY:-1}"
  focus_menu
  i=0
  while [ $i -lt "$1" ]; do
    key Down
    i=$((i + 1))
  done
  if [ $# -ge 2 ]; then
    key Right
    sleep "${RIG_SUBMENU_DELAY:-0.5}"  # the submenu opens with its first item selected
    i=1
    while [ $i -lt "$2" ]; do
      key Down
      i=$((i + 1))
    done
  fi
  key Return
}

cmd_keys() {
  load_env
  focus_menu
  for name in "$@"; do key "$name"; done
}

cmd_click() {
  [ $# -ge 2 ] || die "usage: rig.sh click X Y [BUTTON]"
  load_env
  click_at "$1" "$2" "${3:-1}"
}

cmd_windows() {
  load_env
  probe=$RIG_BUILD/tests/e2e/window_titles.exe
  [ -f "$probe" ] || die "$probe is missing: build the windows tree first"
  out=$STATE/windows.txt
  rm -f "$out"
  wine "$probe" "$DESKTOP_NAME" "$(winpath "$out")" </dev/null >/dev/null 2>&1 || die "window_titles failed"
  cat "$out"
}

cmd_screenshot() {
  [ $# -ge 1 ] || die "usage: rig.sh screenshot FILE.png"
  load_env
  mkdir -p "$(dirname "$1")"
  xwd -root -silent | convert xwd:- "png:$1"
}

# ------------------------------------------------------------------ observations

cmd_journal() {
  [ -f "$RIG_DIR/policy_journal.txt" ] && cat "$RIG_DIR/policy_journal.txt"
  return 0
}

cmd_defaults() {
  load_env
  wine reg query "$DRIVER_KEY" </dev/null 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *\(Default[A-Za-z]*\) *REG_SZ *\(.*\)$/\1=\2/p'
}

cmd_endpoints() {
  load_env
  probe=$RIG_BUILD/tests/e2e/endpoints_probe.exe
  [ -f "$probe" ] || die "$probe is missing: build the windows tree first"
  out=$STATE/endpoints.txt
  rm -f "$out"
  wine "$probe" "$(winpath "$out")" </dev/null >/dev/null 2>&1 || die "endpoints_probe failed"
  cat "$out"
}

cmd_reset() {
  load_env
  defaults_forget
  rm -f "$RIG_DIR/policy_journal.txt"
}

cmd_refuse() {
  rm -f "$RIG_DIR/policy_refuse.txt"
  [ $# -eq 0 ] && return 0
  printf '%s\n' "$@" >"$RIG_DIR/policy_refuse.txt"
}

cmd_pactl() {
  load_env
  [ -n "${PULSE_SERVER:-}" ] || die "the rig runs on the machine's own sound server"
  pactl "$@"
}

cmd_unplug() {
  [ $# -ge 1 ] || die "usage: rig.sh unplug NAME"
  load_env
  [ -n "${PULSE_SERVER:-}" ] || die "the rig runs on the machine's own sound server"
  module=$(pactl list short modules | awk -v name="$1" '
    ($2 == "module-null-sink" && index($0, "sink_name=" name " ")) ||
    ($2 == "module-null-source" && index($0, "source_name=" name " ")) { print $1 }')
  [ -n "$module" ] || die "no demo device $1"
  pactl unload-module "$module"
}

cmd_wine() {
  load_env
  wine "$@"
}

cmd_unixpath() {
  load_env
  winepath -u "$1" 2>/dev/null
}

cmd_appdata() {
  load_env
  folder=$(wine cmd /c echo %APPDATA% </dev/null 2>/dev/null | tr -d '\r')
  winepath -u "$folder" 2>/dev/null | sed 's:/$::'
}

cmd_env() {
  load_env
  cat "$ENV_FILE"
}

cmd_run() {
  [ $# -ge 1 ] || die "usage: rig.sh run EXE"
  RIG_SOUND=${RIG_SOUND:-auto}
  [ -n "${DISPLAY:-}" ] && RIG_DISPLAY=${RIG_DISPLAY:-$DISPLAY}
  export RIG_SOUND
  RIG_OWNER=$$
  trap 'cmd_stop' EXIT INT TERM
  cmd_start
  cmd_program "$@"
  say "the program runs in the Wine desktop \"$DESKTOP_NAME\"; it ends with Exit in its tray menu, or Ctrl+C here"
  if [ -z "${RIG_DISPLAY:-}" ]; then
    shot=$RIG_DIR/run-screenshot.png
    say "no DISPLAY: the desktop is on a private Xvfb; a screenshot of it goes to $shot every 10 s"
    say "(another one at any time: $RIG_SCRIPT screenshot FILE.png)"
    while ! cmd_wait_exit 10; do cmd_screenshot "$shot" >/dev/null 2>&1; done
  else
    until cmd_wait_exit 3600; do :; done
  fi
}

# ------------------------------------------------------------------ Wine tier

cmd_wine_tier_start() {
  folder=$RIG_BUILD/wine-audio
  mkdir -p "$folder"
  pulse_start "$folder/pulse.dir"
  # Registered through the tier's own wrapper, in the tier's prefix.
  use_prefix "$RIG_BUILD/wineprefix"
  standin_register "$folder" "$RIG_BUILD/wine-run"
  "$RIG_BUILD/wine-run" reg delete "$DRIVER_KEY" /f </dev/null >/dev/null 2>&1
  # Stop PulseAudio when ctest (the caller) ends without running the cleanup.
  (
    trap '' HUP INT
    owner=$PPID
    while kill -0 "$owner" 2>/dev/null && [ -f "$folder/pulse.dir" ]; do sleep 2; done
    [ -f "$folder/pulse.dir" ] && RIG_BUILD=$RIG_BUILD sh "$RIG_SCRIPT" wine-tier-stop
  ) </dev/null >/dev/null 2>&1 &
  echo $! >"$folder/watchdog.pid"
  say "PulseAudio for the Wine tests at $(cat "$folder/pulse.dir")"
}

cmd_wine_tier_stop() {
  folder=$RIG_BUILD/wine-audio
  pulse_stop "$folder/pulse.dir"
  watchdog=$(pid_of "$folder/watchdog.pid")
  rm -f "$folder/watchdog.pid"
  [ -n "$watchdog" ] && [ "$watchdog" != "$$" ] && [ "$watchdog" != "$PPID" ] && end_process "$watchdog"
  return 0
}

# ------------------------------------------------------------------ dispatch

command=${1:-}
[ $# -gt 0 ] && shift
case $command in
start) cmd_start ;;
stop) cmd_stop ;;
program) cmd_program "$@" ;;
launch) cmd_launch "$@" ;;
exit-code) cmd_exit_code "$@" ;;
tray-shown) cmd_tray_shown ;;
windows) cmd_windows ;;
wait-exit) cmd_wait_exit "$@" ;;
wait-tray) cmd_wait_tray "$@" ;;
tray) cmd_tray "$@" ;;
choose) cmd_choose "$@" ;;
keys) cmd_keys "$@" ;;
click) cmd_click "$@" ;;
screenshot) cmd_screenshot "$@" ;;
journal) cmd_journal ;;
defaults) cmd_defaults ;;
endpoints) cmd_endpoints ;;
reset) cmd_reset ;;
refuse) cmd_refuse "$@" ;;
pactl) cmd_pactl "$@" ;;
unplug) cmd_unplug "$@" ;;
wine) cmd_wine "$@" ;;
unixpath) cmd_unixpath "$@" ;;
appdata) cmd_appdata ;;
env) cmd_env ;;
run) cmd_run "$@" ;;
recreate-prefix) cmd_recreate_prefix ;;
wine-tier-start) cmd_wine_tier_start ;;
wine-tier-stop) cmd_wine_tier_stop ;;
*) sed -n '2,/^set -u/p' "$RIG_SCRIPT" | sed '$d; s/^# \{0,1\}//' >&2; exit 2 ;;
esac

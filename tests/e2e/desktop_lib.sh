# Sourced by the desktop end-to-end scripts: waiting for processes and windows, looking at
# what is on a screen, and the screensaver daemons' users. The failure count, wait_end and
# the checks for tools come from the end-to-end helpers.
. "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"

# gone PID SECONDS: like wait_end for a process that is not our child.
gone() {
  local pid=$1 limit=$2
  for _ in $(seq $((limit * 10))); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}

# colours NAME [GEOMETRY]: a screenshot of the root window of $DISPLAY (cropped to
# GEOMETRY, WxH+X+Y) saved as $work/NAME.png; prints its number of distinct colours.
colours() {
  local crop=()
  [ -n "${2:-}" ] && crop=(-crop "$2")
  import -window root "${crop[@]}" "$work/$1.png" 2>/dev/null &&
    convert "$work/$1.png" -depth 8 "$work/$1.ppm" 2>/dev/null
  python3 "$e2e_dir/colours.py" "$work/$1.ppm" 2>/dev/null || echo 0
}

# wait_picture NAME GEOMETRY: until the area shows a picture of many colours (up to 30 s).
wait_picture() {
  for _ in $(seq 60); do
    [ "$(colours "$1" "$2")" -gt 100 ] && return 0
    sleep 0.5
  done
  return 1
}

# differs A B: the two screenshots differ.
differs() { ! cmp -s "$work/$1.ppm" "$work/$2.ppm"; }

# moves NAME GEOMETRY: the area changes from the screenshot NAME within 20 seconds (the
# saver waits a few seconds before the walker's first step).
moves() {
  for _ in $(seq 40); do
    sleep 0.5
    colours "$1-later" "$2" >/dev/null
    differs "$1" "$1-later" && return 0
  done
  return 1
}

# Makes $home (the argument) a home of the user nobody whose daemon settings show the given
# hacks, one "Name=command" argument each, with --root as the daemon passes it.
daemon_home() {
  home=$1
  shift
  mkdir "$home"
  cat >"$home/.xscreensaver" <<XS
mode: one
selected: 0
lock: False
splash: False
fade: False
unfade: False
timeout: 0:30:00
XS
  local field=programs:
  for entry; do
    printf '%s "%s" %s --root \\n\\\n' "$field" "${entry%%=*}" "${entry#*=}" >>"$home/.xscreensaver"
    field='         '
  done
  chown -R nobody "$home"
}

# Runs a command as nobody in $home, in the environment desktops give their screensavers.
as_nobody() {
  runuser -u nobody -- env -i HOME="$home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}

# stripped_env HOME COMMAND... &: runs COMMAND from / in the environment MATE gives its
# hacks (HOME, DISPLAY, PATH, LANG and nothing else), with its temporary files in $work/tmp,
# so that left_behind can see what a run leaves there. Only in the background: COMMAND takes
# the place of the background shell, so that $! is its pid.
stripped_env() {
  local user_home=$1
  shift
  mkdir -p "$work/tmp"
  cd / && exec env -i HOME="$user_home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    TMPDIR="$work/tmp" "$@"
}

# left_behind HOME: prints what runs in stripped_env with that home left behind, other than
# the program's own files: session buses started for it (which are ended), anything in
# $work/tmp, and files in the home outside the program's folders. Prints nothing after a
# clean run.
left_behind() {
  local pid
  for pid in $(pgrep -x dbus-daemon; pgrep -x dbus-launch); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qx "HOME=$1"; then
      echo "process: $(ps -o args= -p "$pid")"
      kill "$pid" 2>/dev/null
    fi
  done
  find "$work/tmp" -mindepth 1 2>/dev/null
  find "$1" -mindepth 1 |
    grep -Ev "^$1/(\.config|\.local|\.local/share|\.local/state)(/velmorandi(/.*)?)?$"
}

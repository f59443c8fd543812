# Sourced by the desktop end-to-end scripts: counting failures, waiting for processes and
# windows, and looking at what is on a screen.
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

# wait_end PID SECONDS: waits for a child to end; its status lands in $status. Returns 1
# when it is still running at the end.
wait_end() {
  local pid=$1 limit=$2
  for _ in $(seq $((limit * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then wait "$pid"; status=$?; return 0; fi
    sleep 0.1
  done
  return 1
}

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

# need TOOL...: exits 77 (skipped) when one is missing.
need() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool is not installed"; exit 77; }
  done
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

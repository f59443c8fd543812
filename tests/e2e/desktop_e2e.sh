#!/usr/bin/env bash
# The program on a desktop, installed into a read-only prefix:
# - under the real screensaver daemon, run as an unprivileged user in MATE's stripped
#   environment on a server with two X screens: one hack per screen drawing a moving
#   picture inside the daemon's window, no window of the hack's own, no restart loop, the
#   hacks gone with status 0 when the daemon cycles, and gone when it deactivates;
# - "/s" keeps the server's own screen saver from starting (MIT-SCREEN-SAVER state), and
#   the server's saver works again once it has ended;
# - the settings dialog of two users writes each one's own Settei.ini (~/.config and
#   $XDG_CONFIG_HOME), neither the other's nor the installation, and each user's hack
#   follows that user's file;
# - "/s" and the dialog, run in the environment MATE gives its hacks (no session bus, no
#   runtime folder), print nothing and leave no session bus, process or file behind.
#
# usage: desktop_e2e.sh BUILD_DIR X11_HELPER
# Exits 77 (skipped; under CI a failure) when a tool is missing, or there is no
# unprivileged user to run the daemon as.
set -u
build=$1
helper=$2
e2e_dir=$(cd "$(dirname "$0")" && pwd)
. "$e2e_dir/desktop_lib.sh"
e2e_require Xvfb xdotool xwininfo import convert python3 xset xscreensaver xscreensaver-command \
  runuser
id nobody >/dev/null 2>&1 || e2e_skip "no user nobody"
[ "$(id -u)" -eq 0 ] || e2e_skip "running the daemon as another user needs root"

work=$(mktemp -d)
chmod 755 "$work"
xvfb=
daemon=
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  [ -n "$daemon" ] && kill "$daemon" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
chmod -R a+rX,a-w "$prefix"
hack_path=$prefix/libexec/xscreensaver/velmorandi
. "$e2e_dir/../../scripts/xvfb.sh"

# --- The hack under the daemon, two X screens ---------------------------------------
start_xvfb 140 199 640x480x24 -screen 1 640x480x24 || { echo "FAIL: no X server"; exit 1; }
daemon_home "$work/nobody" "Velmorandi=$hack_path"
hacks() { pgrep -u nobody -f "^$hack_path" | sort | tr '\n' ' '; }
# wait_hacks N: until N hacks run (up to 30 s); prints them.
wait_hacks() {
  local now
  for _ in $(seq 60); do
    now=$(hacks)
    [ "$(wc -w <<<"$now")" -eq "$1" ] && { echo "$now"; return 0; }
    sleep 0.5
  done
  echo "$now"
  return 1
}
# ended_with_zero PID...: each has gone, and the daemon saw it end with status 0.
ended_with_zero() {
  local pid
  for pid in "$@"; do
    gone "$pid" 20 || return 1
    for _ in $(seq 20); do
      grep -q "pid $pid (.*) exited .*status 0" "$home/log" && continue 2
      sleep 0.5
    done
    return 1
  done
}

as_nobody xscreensaver --no-splash --verbose --log "$home/log" >/dev/null 2>&1 &
daemon=$!
sleep 2
as_nobody xscreensaver-command -activate >/dev/null 2>&1
if first=$(wait_hacks 2); then
  ok "one hack per X screen: $first"
else
  fail "not two hacks under the daemon: $first"
fi
for screen in 0 1; do
  export DISPLAY=${DISPLAY%.*}.$screen
  if wait_picture "screen$screen" 640x480+0+0 && moves "screen$screen" 640x480+0+0; then
    ok "screen $screen shows the moving saver"
  else
    fail "screen $screen does not show the moving saver"
  fi
  [ "$(xwininfo -root -tree | grep -ci 'velmorandi\|ヴェルモランディ')" -eq 0 ] ||
    fail "a window of the hack's own on screen $screen"
done
export DISPLAY=${DISPLAY%.*}
sleep 3
starts=$(grep -c "forked \"$hack_path" "$home/log")
[ "$(hacks)" = "$first" ] && [ "$starts" -eq 2 ] && ok "no restarts" ||
  fail "the hacks were restarted: $starts starts"
as_nobody xscreensaver-command -cycle >/dev/null 2>&1
# shellcheck disable=SC2086
ended_with_zero $first && ok "cycling ends the hacks with status 0" ||
  fail "cycling did not end the hacks with status 0"
second=$(wait_hacks 2) || fail "no new hacks after cycling: $second"
as_nobody xscreensaver-command -deactivate >/dev/null 2>&1
# The daemon's graphics helper ends right after it sends SIGTERM, before it could see how
# the hacks end: here they only have to go.
all_gone() {
  local pid
  for pid in "$@"; do gone "$pid" 20 || return 1; done
}
# shellcheck disable=SC2086
all_gone $second && ok "deactivating ends the hacks" || fail "the hacks outlive deactivation"
as_nobody xscreensaver-command -exit >/dev/null 2>&1
wait_end "$daemon" 20 || kill "$daemon" 2>/dev/null
daemon=
kill "$xvfb"
wait "$xvfb" 2>/dev/null
xvfb=

# --- "/s" and the server's own screen saver -----------------------------------------
start_xvfb 140 199 640x480x24 || { echo "FAIL: no X server"; exit 1; }
saver_state() { "$helper" saver-state; }
# wait_state STATE SECONDS
wait_state() {
  for _ in $(seq $(($2 * 4))); do
    [ "$(saver_state)" = "$1" ] && return 0
    sleep 0.25
  done
  return 1
}
xset s 2 0
wait_state on 15 || fail "the server's saver does not start by itself"
xset s reset
mkdir -p "$work/user"
stripped_env "$work/user" "$prefix/bin/velmorandi" /s 2>>"$work/saver.err" &
program=$!
sleep 6
[ "$(saver_state)" = off ] && ok "/s keeps the server's saver off" ||
  fail "the server's saver is $(saver_state) under /s"
xdotool key space
wait_end "$program" 20 || kill "$program"
program=
wait_state on 15 && ok "the server's saver works again after /s" ||
  fail "the server's saver stays off after /s"
xset s off
quiet_and_clean() {  # WHAT ERR-FILE HOME: nothing printed, nothing left behind
  local leftovers
  leftovers=$(left_behind "$3")
  [ ! -s "$2" ] && [ -z "$leftovers" ] &&
    ok "$1 prints nothing and leaves no session bus or file behind" ||
    fail "$1 printed: $(head -3 "$2"); left behind: $leftovers"
}
quiet_and_clean "/s" "$work/saver.err" "$work/user"

# --- Two users' settings -------------------------------------------------------------
settings_dialog() {  # HOME, then env assignments
  local user_home=$1
  shift
  mkdir -p "$user_home"
  stripped_env "$user_home" "$@" "$prefix/bin/velmorandi" 2>>"$work/dialog.err" &
  program=$!
  local dialog=
  for _ in $(seq 100); do
    dialog=$(xdotool search --onlyvisible --name '^ヴェルモランディの設定$' 2>/dev/null | head -1)
    [ -n "$dialog" ] && break
    sleep 0.2
  done
  [ -n "$dialog" ] && "$helper" close "$dialog"
  wait_end "$program" 20 || kill "$program"
  program=
}
settings_dialog "$work/a"
settings_dialog "$work/b" XDG_CONFIG_HOME="$work/b-config"
[ -f "$work/a/.config/velmorandi/Settei.ini" ] && ok "user a's settings in ~/.config/velmorandi" ||
  fail "user a's Settei.ini is not in ~/.config/velmorandi"
[ -f "$work/b-config/velmorandi/Settei.ini" ] && [ ! -e "$work/b/.config/velmorandi" ] &&
  ok "user b's settings in \$XDG_CONFIG_HOME/velmorandi" ||
  fail "user b's Settei.ini is not (only) in \$XDG_CONFIG_HOME/velmorandi"
[ -z "$(find "$prefix" -name Settei.ini)" ] || fail "a Settei.ini in the installation"
quiet_and_clean "the settings dialog" "$work/dialog.err" "$work/a"

# Each user's hack reads that user's Settei.ini: music set in a's file puts its caption
# (white text) into the bottom strip of a's frame, and not into b's.
printf '[BGM]\r\nSingle=1\r\nName=%s\r\n' "$prefix/share/velmorandi/seikai.wav" \
  >>"$work/a/.config/velmorandi/Settei.ini"
caption_pixels() {  # USER-HOME [ENV...]: white pixels in the music strip of the hack's frame
  local user_home=$1
  shift
  (cd / && exec env -i HOME="$user_home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    SDL_AUDIODRIVER=dummy "$@" "$prefix/libexec/xscreensaver/velmorandi" --root) 2>>"$work/hack.err" &
  program=$!
  wait_picture "frame-$(basename "$user_home")" 640x480+0+0 >/dev/null
  sleep 2
  colours strip 620x20+20+460 >/dev/null
  python3 "$e2e_dir/colours.py" "$work/strip.ppm" --white
  kill "$program"
  wait "$program" 2>/dev/null
  program=
}
a_pixels=$(caption_pixels "$work/a")
b_pixels=$(caption_pixels "$work/b" XDG_CONFIG_HOME="$work/b-config")
[ "$a_pixels" -gt 200 ] && [ "$b_pixels" -lt $((a_pixels / 4)) ] &&
  ok "each user's hack follows that user's Settei.ini" ||
  fail "the music caption is not only in user a's frame ($a_pixels, $b_pixels white pixels)"

[ "$failures" -eq 0 ] || exit 1
echo "desktop: all checks passed"

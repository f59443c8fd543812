#!/usr/bin/env bash
# The saver and the settings dialog as clients of a headless sway with two outputs
# (1920 x 1080 and 1280 x 720): the saver letterboxed on both and animating, without
# OpenGL or EGL in the process; ended by a key, by a pointer movement on either output
# (3 pixels keep it), by SIGTERM, all with status 0; started by swayidle; the dialog a
# Wayland window that a close request ends with status 0. Input comes from a keyboard and
# a pointer of our own that stay on the seat throughout (wayland_input), first shown to
# reach a client (wev). The screenshots stay in OUT for people to look at.
#
# usage: wayland_e2e.sh VELMORANDI WAYLAND_INPUT LEAF.bmp OUT
set -u
velmorandi=$1
injector=$2
leaf=$3
out=$4
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../support/e2e.sh"
. "$here/../../../scripts/sway.sh"
e2e_require sway swaymsg swayidle grim wev setpriv convert python3
saver= input= idle= watcher=
e2e_begin saver input idle watcher
# The compositor first: its clients then end on their own.
trap 'e2e_stop ${sway:-}; stop_sway; e2e_cleanup' EXIT
mkdir -p "$out"
# sway waits for no client's answer before it places a window, as when a loaded machine
# keeps the client from answering in time: the order of events the saver must cope with.
sway_options="-D txn-timeout=1"
start_sway 1920x1080 1280x720 || { echo "FAIL: no headless sway could be started"; exit 1; }
unset DISPLAY QT_QPA_PLATFORM
export SDL_AUDIODRIVER=dummy HOME=$work/home XDG_SESSION_TYPE=wayland
mkdir -p "$HOME"

# The layout: output 1 at x 0..1919, output 2 at 1920..3199; the frame's place on each.
layout="3200 1080"
place1=1440x1080+240+0
place2=960x720+160+0

mkfifo "$work/input"
"$injector" <"$work/input" >"$work/input.out" 2>>"$work/saver.log" &
input=$!
exec 3>"$work/input"
inject() {
  local before
  before=$(grep -c '^ok' "$work/input.out")
  echo "$*" >&3
  for _ in $(seq 100); do
    [ "$(grep -c '^ok' "$work/input.out")" -gt "$before" ] && return 0
    sleep 0.02
  done
  fail "the injector did not carry out: $*"
}
for _ in $(seq 100); do grep -q ready "$work/input.out" && break; sleep 0.05; done
grep -q ready "$work/input.out" || { cat "$work/saver.log"; echo "FAIL: no virtual keyboard and pointer"; exit 1; }

# shot NAME OUTPUT: a screenshot of one output, $out/NAME.png.
shot() { grim -o "$2" "$out/$1.png" 2>>"$work/saver.log"; }
# saver_on NAME PLACE: the screenshot shows the saver's frame at PLACE (WxH+X+Y), and the
# bar left of it is black.
saver_on() {
  local size=${2%%+*} x=${2#*+}
  x=${x%%+*}
  convert "$out/$1.png" -crop "$2" +repage -resize '640x480!' "$work/$1.ppm" 2>/dev/null &&
    python3 "$here/../check_frame.py" "$work/$1.ppm" "$leaf" 2>"$work/check.log" || return 1
  [ "$(convert "$out/$1.png" -crop "${x}x${size#*x}+0+0" +repage -format '%[max]' info:)" = 0 ]
}
# wait_saver NAME: the saver shows on both outputs within 10 s.
wait_saver() {
  for _ in $(seq 50); do
    shot "$1-1" HEADLESS-1 && shot "$1-2" HEADLESS-2 && saver_on "$1-1" $place1 &&
      saver_on "$1-2" $place2 && return 0
    sleep 0.2
  done
  fail "$1: the saver is not on both outputs: $(cat "$work/check.log")"
  return 1
}
start_saver() {
  "$velmorandi" /s 2>>"$work/saver.log" &
  saver=$!
}
running() { sleep 0.5; kill -0 "$saver" 2>/dev/null; }

# --- The injected keys and pointer reach a client ------------------------------------------
stdbuf -oL wev >"$work/wev.out" 2>&1 &
watcher=$!
sleep 1
inject key 57
inject move 600 400 $layout
inject by 5 5
sleep 0.3
kill "$watcher"; wait "$watcher" 2>/dev/null; watcher=
grep -q 'wl_keyboard.*key' "$work/wev.out" && grep -q 'wl_pointer.*motion' "$work/wev.out" &&
  ok "a client gets the injected key and pointer" ||
  fail "the injected input does not reach a client"

# --- On both outputs, animating, without OpenGL; Shift alone ends it -----------------------
# Qt's GUI library links the OpenGL and EGL dispatch stubs (libglvnd), which load nothing
# until a context is asked for; a driver, Mesa's EGL or LLVM in the process means one was.
inject move 600 400 $layout
start_saver
if wait_saver first; then
  ok "the saver is letterboxed on both outputs"
  drivers='libEGL_|libGLX_|_dri\.so|libgallium|libLLVM|libQt6OpenGL|libQt6Wayland'
  if grep -Eq "$drivers" "/proc/$saver/maps"; then
    fail "OpenGL or EGL is loaded: $(grep -Eo "[^/]*($drivers)[^ ]*" "/proc/$saver/maps" | sort -u | tr '\n' ' ')"
  else
    ok "no OpenGL or EGL is loaded"
  fi
  moved=
  for _ in $(seq 40); do
    sleep 0.5
    shot later-1 HEADLESS-1 && shot later-2 HEADLESS-2
    if ! cmp -s "$out/first-1.png" "$out/later-1.png" && ! cmp -s "$out/first-2.png" "$out/later-2.png"; then
      moved=1 && break
    fi
  done
  [ -n "$moved" ] && saver_on later-1 $place1 && saver_on later-2 $place2 &&
    ok "both outputs animate, every frame whole" || fail "the outputs do not both animate whole frames"
fi
inject key 42
expect_end "$saver" 5 "Shift alone ends it" "a key press did not end the saver"
saver=

# --- The pointer on either output: 3 pixels keep it, 30 end it, measured from where it
# entered the saver's surface (a first movement of 30 pixels ends it too) -------------------
for case in "1 600 3" "2 2500 3" "2 2500 0"; do
  set -- $case
  inject move "$2" 300 $layout
  start_saver
  wait_saver "pointer-$1"
  if [ "$3" -gt 0 ]; then
    inject by "$3" 0
    running && ok "$3 pixels on output $1 keep it" || fail "$3 pixels on output $1 ended it"
  fi
  what="30 more pixels on output $1"
  [ "$3" -gt 0 ] || what="a first movement of 30 pixels on output $1"
  inject by 30 0
  expect_end "$saver" 5 "the saver ends on $what" "the saver did not end on $what"
  saver=
done

# --- SIGTERM ends it with status 0 ----------------------------------------------------------
start_saver
wait_saver sigterm
kill -TERM "$saver"
expect_end "$saver" 5 "SIGTERM ends it with status 0" "SIGTERM did not end the saver"
saver=

# --- swayidle starts it after the idle timeout ----------------------------------------------
# Once only: idle again before the test stops swayidle, it would start a saver that nothing
# ends. swayidle's complaints about the missing system bus go to a log of its own.
swayidle -w timeout 3 "[ -e $work/idle.pid ] || { echo \$\$ >$work/idle.pid; exec $velmorandi /s; }" \
  2>"$work/swayidle.log" &
idle=$!
started=$SECONDS
for _ in $(seq 200); do [ -s "$work/idle.pid" ] && break; sleep 0.05; done
if [ -s "$work/idle.pid" ]; then
  [ $((SECONDS - started)) -ge 2 ] && ok "swayidle starts it after the timeout" ||
    fail "swayidle started it before the timeout"
  wait_saver idle
  inject key 57
  idled=$(cat "$work/idle.pid")
  for _ in $(seq 100); do kill -0 "$idled" 2>/dev/null || break; sleep 0.05; done
  kill -0 "$idled" 2>/dev/null && fail "a key did not end the saver swayidle started"
else
  fail "swayidle did not start the saver"
fi
e2e_stop "$idle"
idle=

# --- The settings dialog is a quiet Wayland window; a close request ends it with 0 ---------
"$velmorandi" /c 2>"$work/dialog.log" &
saver=$!
# dialog_shown: sway shows a window of the dialog's process, with the program's app_id.
dialog_shown() { swaymsg "[pid=$saver app_id=velmorandi] nop" >/dev/null 2>&1; }
for _ in $(seq 100); do dialog_shown && break; sleep 0.1; done
if dialog_shown; then
  ok "the dialog is a Wayland window"
  sleep 0.5
  shot dialog-1 HEADLESS-1 && shot dialog-2 HEADLESS-2
  swaymsg "[pid=$saver] kill" >/dev/null
  expect_end "$saver" 5 "a close request ends the dialog" "the dialog did not close on request"
else
  fail "the dialog did not open as a Wayland window"
fi
saver=
[ -s "$work/dialog.log" ] && fail "the dialog printed: $(cat "$work/dialog.log")" ||
  ok "the dialog prints nothing"

e2e_end "$work/saver.log" "all Wayland checks passed"

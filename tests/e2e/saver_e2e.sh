#!/usr/bin/env bash
# The saver on a real X server (Xvfb): a frame within a second, the end on a key press or
# a mouse movement of more than 10 pixels, and the arguments that start nothing.
#
# usage: saver_e2e.sh VELMORANDI LEAF.bmp
# Exits 77 (skipped) when Xvfb, xdotool, ImageMagick or python3 are missing.
set -u
velmorandi=$1
leaf=$2
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../support/e2e.sh"
e2e_require Xvfb xdotool import convert python3
saver=
e2e_begin saver
e2e_display 640x480x24

frame_ok() {
  import -window root "$work/shot.png" 2>/dev/null && convert "$work/shot.png" "$work/shot.ppm" &&
    python3 "$here/check_frame.py" "$work/shot.ppm" "$leaf"
}

start_saver() {
  "$velmorandi" /s 2>>"$work/saver.log" &
  saver=$!
}

# --- Arguments that start nothing end at once, without touching the display ---------------
for arg in /x /s:5 /save; do
  DISPLAY= timeout 10 "$velmorandi" "$arg"
  code=$?
  [ $code -eq 0 ] || fail "velmorandi $arg ended with $code"
done

# --- A frame within a second, then a key ends the saver with status 0 ----------------------
xdotool mousemove 200 150
start_saver
sleep 1
if frame_ok; then echo "ok: a frame within a second"; else fail "no saver frame on screen after a second"; fi
cp "$work/shot.png" "$work/first.png" 2>/dev/null
xdotool key space
expect_end "$saver" 5 "a key ends it" "a key press did not end the saver"
saver=

# --- Ten pixels in each axis keep it running, eleven end it --------------------------------
xdotool mousemove 200 150
start_saver
for _ in $(seq 40); do frame_ok 2>/dev/null && break; sleep 0.1; done
# The first movement only records where the pointer is.
xdotool mousemove 300 200
sleep 0.3
xdotool mousemove 310 210
sleep 0.3
xdotool mousemove 290 190
sleep 0.6
if kill -0 "$saver" 2>/dev/null; then echo "ok: 10 pixels keep it"; else fail "a movement of 10 pixels ended the saver"; fi
xdotool mousemove 311 200
expect_end "$saver" 5 "11 pixels end it" "a movement of 11 pixels did not end the saver"
saver=

# --- A termination signal ends it, also after the chime has opened the sound device --------
start_saver
sleep 1
kill -TERM "$saver"
if wait_end "$saver" 5; then echo "ok: SIGTERM ends it"; else fail "SIGTERM did not end the saver"; fi
saver=

e2e_end "$work/saver.log" "all end-to-end checks passed"

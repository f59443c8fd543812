#!/usr/bin/env bash
# The saver on a real X server (Xvfb): a frame within a second, the end on a key press or
# a mouse movement of more than 10 pixels, the arguments that start nothing or are refused,
# and options given after /s.
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

# --- A bad option is refused with status 2 wherever it stands -------------------------------
for args in "/s --bogus" "--bogus /s" "/c --speed 0" "/p 1 --bogus" "/s /c"; do
  # shellcheck disable=SC2086  # the words are the arguments
  DISPLAY= timeout 10 "$velmorandi" $args 2>/dev/null
  code=$?
  [ $code -eq 2 ] || fail "velmorandi $args ended with $code, not 2"
done

# --- Options count after /s as before it: --music puts its caption into the bottom strip ----
caption_pixels() {  # ARGUMENTS...: near-white pixels in the music strip of the saver's frame
  XDG_CONFIG_HOME="$work/config" "$velmorandi" "$@" 2>>"$work/saver.log" &
  saver=$!
  for _ in $(seq 40); do frame_ok 2>/dev/null && break; sleep 0.1; done
  sleep 2
  import -window root -crop 620x20+20+460 "$work/strip.png" 2>/dev/null &&
    convert "$work/strip.png" "$work/strip.ppm" && python3 "$here/colours.py" "$work/strip.ppm" --white
  kill "$saver"
  wait "$saver" 2>/dev/null
  saver=
}
piece="$(dirname "$velmorandi")/VelmorandiScrData/seikai.wav"
plain=$(caption_pixels /s)
with=$(caption_pixels /s --music "$piece")
[ "${with:-0}" -gt 200 ] && [ "${plain:-0}" -lt $((with / 4)) ] && ok "/s --music shows its caption" ||
  fail "/s --music: ${with:-no} white pixels in the music strip, ${plain:-no} without music"

# --- A frame within a second, then a key ends the saver with status 0 ----------------------
xdotool mousemove 200 150
start_saver
sleep 1
if frame_ok; then echo "ok: a frame within a second"; else fail "no saver frame on screen after a second"; fi
cp "$work/shot.png" "$work/first.png" 2>/dev/null
xdotool key space
expect_end "$saver" 5 "a key ends it" "a key press did not end the saver"
saver=

wait_frame() { for _ in $(seq 40); do frame_ok 2>/dev/null && return 0; sleep 0.1; done; return 1; }

# --- Ten pixels in each axis keep it running, eleven end it --------------------------------
# The saver appears under the pointer: where the pointer entered its window was seen first.
xdotool mousemove 200 150
start_saver
wait_frame
xdotool mousemove 210 160
sleep 0.3
xdotool mousemove 190 140
sleep 0.6
if kill -0 "$saver" 2>/dev/null; then echo "ok: 10 pixels keep it"; else fail "a movement of 10 pixels ended the saver"; fi
xdotool mousemove 200 161
expect_end "$saver" 5 "11 pixels end it" "a movement of 11 pixels did not end the saver"
saver=

# --- One jump of the pointer that was there when the saver appeared ends it ---------------
xdotool mousemove 200 150
start_saver
wait_frame
xdotool mousemove 230 150
expect_end "$saver" 5 "a first jump of 30 pixels ends it" "a first jump of 30 pixels did not end it"
saver=

# --- Every way of ending it while music plays ends it cleanly, with status 0 ----------------
. "$here/../support/midi.sh"
write_piece 400 "$work/piece.mid"
for way in key mouse TERM INT HUP display; do
  xdotool mousemove 200 150
  "$velmorandi" --music "$work/piece.mid" 2>>"$work/saver.log" &
  saver=$!
  wait_frame
  # The music starts at the first service, a second after start-up; the mixer is loaded
  # only to play MIDI.
  for _ in $(seq 50); do grep -q SDL2_mixer "/proc/$saver/maps" && break; sleep 0.1; done
  grep -q SDL2_mixer "/proc/$saver/maps" || fail "no music plays before the end by $way"
  case $way in
    key) xdotool key space ;;
    mouse) xdotool mousemove 260 150 ;;
    display) kill "$xvfb"; wait "$xvfb" 2>/dev/null; xvfb= ;;
    *) kill -"$way" "$saver" ;;
  esac
  expect_end "$saver" 5 "music playing, the end by $way is clean" "the end by $way did not end it"
  saver=
done

e2e_end "$work/saver.log" "all end-to-end checks passed"

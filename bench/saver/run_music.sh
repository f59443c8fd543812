#!/usr/bin/env bash
# Processor time of the running saver with its background music on, beside the same saver
# without music, on the same kind of screen and audio output.
#
# usage: bench/saver/run_music.sh [SECONDS]   (default 60; run from anywhere after a build)
#
# Lays out a copy of the saver whose data folder has a Settei.ini with [BGM] Single=1 and
# Name= a MIDI piece written here (melody, chords, bass and hi-hat at 120 beats per minute,
# longer than the run), then runs `velmorandi /s` for SECONDS on a 640 x 480 Xvfb screen
# with SDL's disk audio driver writing to /dev/null (which consumes samples in real time),
# once with the music and once without (no Settei.ini). Reports CPU seconds per wall
# second for each, from the fifth second on. This reports; it does not fail.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-60}
[ -x build/bin/velmorandi ] || { echo "build the saver first (build/bin/velmorandi)"; exit 1; }

work=$(mktemp -d)
# The user files of the copies below are read from their data folders, not from a real home.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share XDG_STATE_HOME=$work/home/.local/state
xvfb=
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
. scripts/xvfb.sh
start_xvfb 150 199 640x480x24 || { echo "no X server could be started"; exit 1; }

. tests/support/midi.sh

saver_copy() {  # DIR: a saver whose data folder is a copy of the built one
  mkdir -p "$1"
  cp build/bin/velmorandi "$1/"
  cp -r build/bin/VelmorandiScrData "$1/"
}
saver_copy "$work/music"
saver_copy "$work/quiet"
write_piece $(((seconds + 10) * 4)) "$work/piece.mid"
printf '[BGM]\r\nSingle=1\r\nName=%s\r\n' "$work/piece.mid" >"$work/music/VelmorandiScrData/Settei.ini"

ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
measure() {  # NAME DIR
  local t5 c5 end cend
  SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null "$2/velmorandi" /s 2>"$work/$1.err" &
  local pid=$!
  sleep 5
  t5=$(date +%s.%N); c5=$(cpu_ticks $pid)
  sleep $((seconds - 5))
  end=$(date +%s.%N); cend=$(cpu_ticks $pid)
  kill $pid; wait $pid 2>/dev/null || true
  awk -v n="$1" -v t5="$t5" -v e="$end" -v c5="$c5" -v ce="$cend" -v hz="$ticks_per_second" \
    'BEGIN { printf "%-16s CPU s/s from 5 s on %.4f\n", n, (ce - c5) / hz / (e - t5) }'
}

echo "screen 640 x 480 on Xvfb, SDL disk audio to /dev/null, ${seconds} s each"
measure "saver, music" "$work/music"
measure "saver, no music" "$work/quiet"

#!/usr/bin/env bash
# Processor time and memory of the running saver beside a reference screensaver hack.
#
# usage: bench/saver/run.sh [SECONDS]   (default 60; run from anywhere after a build)
#
# Runs `velmorandi /s` for SECONDS on a 640 x 480 Xvfb screen, then the xscreensaver hack
# fadeplot (package xscreensaver-data-extra, installed here if missing) for the same time
# on the same kind of screen, and reports for each: CPU seconds per wall second (whole
# run, and from the fifth second on), peak resident memory; for the saver also the time
# from start to its first presented frame. Targets: the saver at most 0.01 CPU s/s, peak
# memory under 100 MB, first frame within 300 ms. This reports; it does not fail.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-60}
saver=build/bin/velmorandi
fadeplot=/usr/libexec/xscreensaver/fadeplot
[ -x "$saver" ] || { echo "build the saver first (build/bin/velmorandi)"; exit 1; }
if [ ! -x "$fadeplot" ]; then
  echo "installing xscreensaver-data-extra for the reference hack"
  if [ "$(id -u)" -eq 0 ]; then apt-get install -y -qq xscreensaver-data-extra >/dev/null
  else sudo apt-get install -y -qq xscreensaver-data-extra >/dev/null; fi
fi

work=$(mktemp -d)
# The user files of the copies below are read from their data folders, not from a real home.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share XDG_STATE_HOME=$work/home/.local/state
xvfb=
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
. scripts/xvfb.sh
start_xvfb 150 199 640x480x24 || { echo "no X server could be started"; exit 1; }

ticks_per_second=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# measure NAME COMMAND...: runs the command for $seconds and prints its figures.
measure() {
  local name=$1; shift
  local start end t5 c5 cend peak
  start=$(date +%s.%N)
  "$@" 2>"$work/$name.err" &
  local pid=$!
  sleep 5
  t5=$(date +%s.%N); c5=$(cpu_ticks $pid)
  sleep $((seconds - 5))
  end=$(date +%s.%N); cend=$(cpu_ticks $pid)
  peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  kill $pid; wait $pid 2>/dev/null || true
  awk -v n="$name" -v s="$start" -v t5="$t5" -v e="$end" -v c5="$c5" -v ce="$cend" -v hz="$ticks_per_second" -v peak="$peak" \
    'BEGIN { printf "%-10s CPU s/s whole run %.4f, from 5 s on %.4f; peak RSS %.1f MB\n", n, ce / hz / (e - s), (ce - c5) / hz / (e - t5), peak / 1024 }'
}

echo "screen 640 x 480 on Xvfb, ${seconds} s each"
VELMORANDI_REPORT_FIRST_FRAME=1 SDL_AUDIODRIVER=dummy measure velmorandi "$saver" /s
grep -h "first frame" "$work/velmorandi.err" || echo "velmorandi: no first-frame report"
measure fadeplot "$fadeplot" -root

#!/usr/bin/env bash
# The saver as a Wayland client beside the same saver on X, interleaved in the same run.
#
# usage: bench/saver/run_wayland.sh [SECONDS] [ROUNDS] [SIZE]
#        (defaults: 12 s a run, 5 rounds, 1920x1080)
#
# One Xvfb and one headless sway (one output), both of SIZE, serve every run:
# `velmorandi /s` on X (DISPLAY only) and on Wayland (WAYLAND_DISPLAY only) take turns,
# ROUNDS times each, round r with VELMORANDI_SEED=r+1 (the same game for both), with no
# settings (so no music) and SDL's dummy audio driver. Measured as bench/saver/measure.sh
# says, with each display server's CPU beside its client's. Reports the medians, the
# Wayland saver's peak memory and CPU as ratios of the X saver's, and each one's time to
# its first presented frame. Targets: memory <= 1.1 x, CPU <= 1.2 x, wake-ups
# about the X saver's (one a tick). This reports; it does not fail.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-12}
rounds=${2:-5}
size=${3:-1920x1080}
saver=${VELMORANDI_SAVER:-build/bin/velmorandi}
warmup=3
[ -x "$saver" ] || { echo "build the saver first (build/bin/velmorandi)"; exit 1; }
saver=$(realpath "$saver")

work=$(mktemp -d)
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share XDG_STATE_HOME=$work/home/.local/state
xvfb=
sway=
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; stop_sway; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
. scripts/xvfb.sh
. scripts/sway.sh
. bench/saver/measure.sh

start_xvfb 150 199 "${size}x24" || { echo "no X server could be started"; exit 1; }
x_display=$DISPLAY
unset DISPLAY
start_sway "$size" || { echo "no headless sway could be started"; exit 1; }
wayland_display=$WAYLAND_DISPLAY
unset WAYLAND_DISPLAY

echo "$size on Xvfb and on a headless sway, $rounds rounds of ${seconds} s, alternating"
for ((r = 0; r < rounds; r++)); do
  export VELMORANDI_SEED=$((r + 1))
  server=$xvfb
  DISPLAY=$x_display VELMORANDI_REPORT_FIRST_FRAME=1 SDL_AUDIODRIVER=dummy run x11 "$saver" /s
  server=$sway
  WAYLAND_DISPLAY=$wayland_display VELMORANDI_REPORT_FIRST_FRAME=1 SDL_AUDIODRIVER=dummy \
    run wayland "$saver" /s
done
printf '%-9s %10s %10s %10s %14s\n' saver "CPU s/s" "wakeups/s" "peak MB" "server CPU s/s"
for name in x11 wayland; do
  printf '%-9s %10s %10s %10s %14s\n' "$name" "$(column $name 1)" "$(column $name 2)" \
    "$(column $name 3)" "$(column $name 4)"
done
awk -v wm="$(column wayland 3)" -v xm="$(column x11 3)" -v wc="$(column wayland 1)" \
  -v xc="$(column x11 1)" 'BEGIN {
    printf "wayland / x11: peak memory %.2f (target <= 1.1), CPU %.2f (target <= 1.2)\n", wm / xm, wc / xc }'
for name in x11 wayland; do
  grep -h "first frame" "$work/$name.err" | awk '{print $5}' | median |
    awk -v n="$name" '{printf "%s: first frame presented %s ms after start (median)\n", n, $1}'
done

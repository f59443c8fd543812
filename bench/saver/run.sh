#!/usr/bin/env bash
# Processor time, wake-ups and memory of the running saver beside a reference screensaver
# hack, interleaved on the same screens in the same run.
#
# usage: bench/saver/run.sh [SECONDS] [ROUNDS] [SIZES...]
#        (defaults: 12 s a run, 3 rounds, 640x480 1920x1080 3840x2160)
#
# For each screen size one Xvfb serves every run: `velmorandi /s` (music off, SDL's dummy
# audio driver) and the xscreensaver hack fadeplot (-root) take turns, ROUNDS times each,
# SECONDS each, round r with VELMORANDI_SEED=r+1 (the same game for each program of a
# round); at 1920 x 1080 also the saver's hack mode (`velmorandi --root`) unless
# VELMORANDI_NO_HACK is set. VELMORANDI_SAVER names another saver binary to measure;
# VELMORANDI_BASELINE names a second one (say, one built before a change) to take turns
# with the two and be reported beside them as "baseline". From the fourth second of a run
# on it measures CPU seconds per wall second and wake-ups per second (voluntary context
# switches of all the process's threads: each is a sleep that something ended); peak
# resident memory (VmHWM) covers the whole run. The X server's CPU seconds per wall second
# meanwhile are shown beside each program's: what a program leaves the server to draw
# (the saver's scaling, fadeplot's lines) is spent there.
# Reports the medians, the saver's CPU as a ratio of fadeplot's at each size, the saver's
# CPU at the largest size as a ratio of its own at the first, and the saver's time to its
# first presented frame. Targets: CPU ratio <= 1.0 at every size and <= 1.2 from the first
# size to the largest; <= ~12 wake-ups a second; peak memory <= 35 MB at 640 x 480 and
# <= 45 MB at 3840 x 2160. This reports; it does not fail.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-12}
rounds=${2:-3}
shift $(($# > 2 ? 2 : $#))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(640x480 1920x1080 3840x2160)
saver=${VELMORANDI_SAVER:-build/bin/velmorandi}
fadeplot=/usr/libexec/xscreensaver/fadeplot
warmup=3
baseline=${VELMORANDI_BASELINE:-}
[ -x "$saver" ] || { echo "build the saver first (build/bin/velmorandi)"; exit 1; }
[ -z "$baseline" ] || [ -x "$baseline" ] || { echo "no baseline saver at $baseline"; exit 1; }
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

. bench/saver/measure.sh

echo "${#sizes[@]} screen sizes on Xvfb, $rounds rounds of ${seconds} s, saver and fadeplot alternating"
printf '%-10s %-9s %10s %10s %10s %12s %12s\n' size program "CPU s/s" "wakeups/s" "peak MB" "CPU ratio" "X CPU s/s"
first_cpu=
for size in "${sizes[@]}"; do
  start_xvfb 150 199 "${size}x24" || { echo "no X server could be started"; exit 1; }
  server=$xvfb
  rm -f "$work/saver" "$work/fadeplot" "$work/hack" "$work/baseline"
  for ((r = 0; r < rounds; r++)); do
    # Round r plays the game of seed r + 1 in every saver: the runs compare the same events
    # (text drawn, tiles flying) instead of whatever the clock picked.
    export VELMORANDI_SEED=$((r + 1))
    VELMORANDI_REPORT_FIRST_FRAME=1 SDL_AUDIODRIVER=dummy run saver "$saver" /s
    [ -z "$baseline" ] || SDL_AUDIODRIVER=dummy run baseline "$baseline" /s
    run fadeplot "$fadeplot" -root
    # The hack mode as xscreensaver runs it: drawing into a window of the screen's size.
    if [ "$size" = 1920x1080 ] && [ -z "${VELMORANDI_NO_HACK:-}" ]; then
      SDL_AUDIODRIVER=dummy run hack "$saver" --root
    fi
  done
  kill "$xvfb"; wait "$xvfb" 2>/dev/null || true; xvfb=
  s=$(column saver 1); f=$(column fadeplot 1)
  [ -n "$first_cpu" ] || first_cpu=$s
  printf '%-10s %-9s %10s %10s %10s %12s %12s\n' "$size" saver "$s" "$(column saver 2)" \
    "$(column saver 3)" "$(awk -v s="$s" -v f="$f" 'BEGIN {printf "%.2f", s / f}')" "$(column saver 4)"
  printf '%-10s %-9s %10s %10s %10s %12s %12s\n' "$size" fadeplot "$f" "$(column fadeplot 2)" \
    "$(column fadeplot 3)" "" "$(column fadeplot 4)"
  if [ -s "$work/baseline" ]; then
    b=$(column baseline 1)
    printf '%-10s %-9s %10s %10s %10s %12s %12s\n' "$size" baseline "$b" "$(column baseline 2)" \
      "$(column baseline 3)" "$(awk -v s="$b" -v f="$f" 'BEGIN {printf "%.2f", s / f}')" "$(column baseline 4)"
  fi
  if [ -s "$work/hack" ]; then
    h=$(column hack 1)
    printf '%-10s %-9s %10s %10s %10s %12s %12s\n' "$size" "hack" "$h" "$(column hack 2)" \
      "$(column hack 3)" "$(awk -v s="$h" -v f="$f" 'BEGIN {printf "%.2f", s / f}')" "$(column hack 4)"
  fi
  last_cpu=$s
done
awk -v a="$first_cpu" -v b="$last_cpu" -v f="${sizes[0]}" -v l="${sizes[-1]}" \
  'BEGIN { if (a > 0) printf "saver CPU at %s / at %s: %.2f (target <= 1.2)\n", l, f, b / a }'
grep -h "first frame" "$work/saver.err" | sort | sed -n '1p;$p' | sed 's/^/saver /' ||
  echo "saver: no first-frame report"

#!/usr/bin/env bash
# The hack under the real screensaver daemon beside the daemon's own hack fadeplot, in the
# same run: processor time and peak memory of each in the daemon's full-screen window on a
# 1920 x 1080 screen.
#
# usage: bench/saver/run_xscreensaver.sh [SECONDS] [ROUNDS]   (defaults: 12 s, 3 rounds)
#
# One Xvfb and one daemon (run as the user nobody, as it refuses root; needs root to switch
# to it) serve every run; the daemon is told to show the installed velmorandi hack and
# fadeplot in turn, ROUNDS times each. From the fourth second of a run on it measures the
# hack process's CPU seconds per wall second, its wake-ups per second (voluntary context
# switches of all its threads) and the X server's CPU seconds per wall second meanwhile;
# peak resident memory (VmHWM) covers the run.
# Reports the medians and the CPU ratio of velmorandi to fadeplot. Target: ratio <= 1.0.
# This reports; it does not fail.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-12}
rounds=${2:-3}
warmup=3
fadeplot=/usr/libexec/xscreensaver/fadeplot
. tests/e2e/desktop_lib.sh
[ -x build/bin/velmorandi ] || { echo "build the program first (build/bin/velmorandi)"; exit 1; }
[ -x "$fadeplot" ] || { echo "fadeplot is missing (package xscreensaver-data-extra)"; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "run as root: the daemon runs as the user nobody"; exit 1; }

work=$(mktemp -d)
chmod 755 "$work"
xvfb=
daemon=
cleanup() {
  [ -n "$daemon" ] && kill "$daemon" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
cmake --install build --prefix "$work/prefix" >/dev/null
chmod -R a+rX "$work/prefix"
hack=$work/prefix/libexec/xscreensaver/velmorandi
# Every run plays the same game (the daemon clears the environment; env passes the seed).
daemon_home "$work/nobody" "Velmorandi=env VELMORANDI_SEED=1 $hack" "Fade Plot=$fadeplot"
. scripts/xvfb.sh
start_xvfb 150 199 1920x1080x24 || { echo "no X server could be started"; exit 1; }
as_nobody xscreensaver --no-splash >/dev/null 2>&1 &
daemon=$!
sleep 2

cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{n += $1} END {print n}'; }
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt/ {n += $2} END {print n}'; }
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }
hack_pid() {  # PROGRAM: the running hack's pid, waiting for it up to 20 s
  local pid
  for _ in $(seq 80); do
    pid=$(pgrep -u nobody -f "^$1" | head -1) && { echo "$pid"; return 0; }
    sleep 0.25
  done
  return 1
}
# run NAME INDEX PROGRAM: the daemon shows hack INDEX; appends "cpu peakMB wakeups serverCPU"
# to $work/NAME.
run() {
  as_nobody xscreensaver-command -select "$2" >/dev/null 2>&1
  local pid
  pid=$(hack_pid "$3") || { echo "the daemon did not start $1"; exit 1; }
  sleep $warmup
  local t0 c0 w0 x0 t1 c1 w1 x1 peak
  t0=$(date +%s.%N); c0=$(cpu_ns "$pid"); w0=$(switches "$pid"); x0=$(cpu_ns "$xvfb")
  sleep $((seconds - warmup))
  t1=$(date +%s.%N); c1=$(cpu_ns "$pid"); w1=$(switches "$pid"); x1=$(cpu_ns "$xvfb")
  peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  as_nobody xscreensaver-command -deactivate >/dev/null 2>&1
  while kill -0 "$pid" 2>/dev/null; do sleep 0.2; done
  awk -v t0="$t0" -v t1="$t1" -v c0="$c0" -v c1="$c1" -v peak="$peak" -v w0="$w0" -v w1="$w1" \
    -v x0="$x0" -v x1="$x1" 'BEGIN { d = t1 - t0
      printf "%.5f %.1f %.1f %.5f\n", (c1 - c0) / 1e9 / d, peak / 1024, (w1 - w0) / d, (x1 - x0) / 1e9 / d }' \
    >>"$work/$1"
}
column() { awk -v c="$2" '{print $c}' "$work/$1" | median; }

echo "1920x1080 Xvfb, the screensaver daemon as nobody, $rounds rounds of ${seconds} s each"
for ((r = 0; r < rounds; r++)); do
  run velmorandi 1 "$hack"
  run fadeplot 2 "$fadeplot"
done
v=$(column velmorandi 1)
f=$(column fadeplot 1)
printf '%-11s %10s %10s %10s %10s\n' hack "CPU s/s" "peak MB" "wakeups/s" "X CPU s/s"
printf '%-11s %10s %10s %10s %10s\n' velmorandi "$v" "$(column velmorandi 2)" \
  "$(column velmorandi 3)" "$(column velmorandi 4)"
printf '%-11s %10s %10s %10s %10s\n' fadeplot "$f" "$(column fadeplot 2)" "$(column fadeplot 3)" \
  "$(column fadeplot 4)"
awk -v v="$v" -v f="$f" 'BEGIN { if (f > 0) printf "CPU velmorandi / fadeplot: %.2f (target <= 1.0)\n", v / f }'

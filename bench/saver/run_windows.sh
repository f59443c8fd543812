#!/usr/bin/env bash
# The Windows saver under Wine beside the Linux saver, taking turns on one 640 x 480 Xvfb
# (with GLX, for Wine's Direct3D): the time from starting the program to its first presented
# frame, and processor time per tick (a tick a tenth of a second) once it runs.
#
# usage: bench/saver/run_windows.sh [SECONDS] [ROUNDS]   (defaults: 10 s a run, 3 rounds)
#
# Needs build/bin/velmorandi and build-windows/bin/velmorandi.scr (scripts/build-windows).
# The first frame is timed from outside, from the start of the command to the report the
# program writes when VELMORANDI_REPORT_FIRST_FRAME is set, so Wine's own start counts. CPU
# counts all the saver process's threads from the fourth second of a run; under Wine it is
# also split by thread: Wine's Direct3D command thread (wined3d_cs), the software OpenGL
# rasteriser's threads (llvmpipe-*) and the rest (the program's own), and the Wine server's
# share is given apart. Reports medians; it does not fail.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-10}
rounds=${2:-3}
linux_saver=build/bin/velmorandi
scr=build-windows/bin/velmorandi.scr
warmup=3
[ -x "$linux_saver" ] || { echo "build the Linux saver first (build/bin/velmorandi)"; exit 1; }
[ -f "$scr" ] || { echo "build the Windows saver first (scripts/build-windows)"; exit 1; }
export WINEPREFIX=$PWD/build-windows/wineprefix

work=$(mktemp -d)
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share XDG_STATE_HOME=$work/home/.local/state
xvfb=
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
. scripts/xvfb.sh
start_xvfb 150 199 640x480x24 +extension GLX || { echo "no X server could be started"; exit 1; }
export VM_WINE_DISPLAY=$DISPLAY
wineserver -k 2>/dev/null || true
# The Wine server starts once, outside the measurements.
scripts/wine-run cmd /c exit >/dev/null 2>&1 || true

# Threads and processes may end between the listing and the read: what is gone counts 0.
cpu_ns() { { cat /proc/"$1"/task/*/schedstat 2>/dev/null || true; } | awk '{n += $1} END {print n + 0}'; }
# cpu_by_thread PID: nanoseconds of the threads named wined3d_cs, llvmpipe-*, and the rest.
cpu_by_thread() {
  for t in /proc/"$1"/task/*; do
    echo "$(cat "$t/comm" 2>/dev/null || true) $(cut -d' ' -f1 "$t/schedstat" 2>/dev/null || true)"
  done |
    awk '$1 == "wined3d_cs" {d += $2; next} $1 ~ /^llvmpipe/ {g += $2; next} {o += $2} END {print d + 0, g + 0, o + 0}'
}
now_ms() { date +%s%3N; }
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# run NAME COMMAND...: one run; appends "first-frame-ms cpu-ms-per-tick server-cpu-ms-per-tick
# d3d-thread gl-threads own-threads" (CPU ms per tick).
run() {
  local name=$1; shift
  local err=$work/$name.err.$RANDOM t0 t1 first=NA
  t0=$(now_ms)
  VELMORANDI_REPORT_FIRST_FRAME=1 SDL_AUDIODRIVER=dummy "$@" 2>"$err" &
  local pid=$!
  for _ in $(seq 1500); do
    grep -q "first frame" "$err" 2>/dev/null && { first=$(($(now_ms) - t0)); break; }
    sleep 0.01
  done
  local server
  server=$(pgrep -n wineserver || true)
  sleep $((warmup - (($(now_ms) - t0) / 1000))) 2>/dev/null || true
  local c0 s0=0 s1=0 c1 w0 w1 t0 t1
  w0=$(now_ms); c0=$(cpu_ns $pid); t0=$(cpu_by_thread $pid); [ -n "$server" ] && s0=$(cpu_ns "$server")
  sleep $((seconds - warmup))
  w1=$(now_ms); c1=$(cpu_ns $pid); t1=$(cpu_by_thread $pid); [ -n "$server" ] && s1=$(cpu_ns "$server")
  kill $pid 2>/dev/null; wait $pid 2>/dev/null || true
  [ "$name" = windows ] && { wineserver -k 2>/dev/null || true; sleep 0.5; }
  # Ten ticks a second.
  awk -v f="$first" -v c0="$c0" -v c1="$c1" -v s0="$s0" -v s1="$s1" -v w0="$w0" -v w1="$w1" \
    -v t0="$t0" -v t1="$t1" \
    'BEGIN { t = (w1 - w0) / 100; split(t0, a, " "); split(t1, b, " ")
             printf "%s %.3f %.3f %.3f %.3f %.3f\n", f, (c1 - c0) / 1e6 / t, (s1 - s0) / 1e6 / t,
                    (b[1] - a[1]) / 1e6 / t, (b[2] - a[2]) / 1e6 / t, (b[3] - a[3]) / 1e6 / t }' \
    >>"$work/$name"
}

column() { awk -v c="$2" '$c != "NA" {print $c}' "$work/$1" | median; }

for ((r = 0; r < rounds; r++)); do
  run linux "$linux_saver" /s
  run windows scripts/wine-run "$scr" /s
done
echo "640 x 480 on Xvfb, $rounds rounds of ${seconds} s, the two savers taking turns (medians)"
printf '%-22s %16s %16s %22s\n' program "first frame ms" "CPU ms/tick" "Wine server ms/tick"
printf '%-22s %16s %16s %22s\n' "velmorandi (Linux)" "$(column linux 1)" "$(column linux 2)" "-"
printf '%-22s %16s %16s %22s\n' "velmorandi.scr (Wine)" "$(column windows 1)" \
  "$(column windows 2)" "$(column windows 3)"
echo "velmorandi.scr CPU ms/tick by thread: Direct3D command thread $(column windows 4)," \
  "OpenGL rasteriser $(column windows 5), the program's own and the rest $(column windows 6)"

# Sourced by the saver benchmarks: what a running program costs.
#
# run NAME COMMAND...: starts COMMAND, and from the $warmup-th second to the $seconds-th
# measures its CPU seconds per wall second, its wake-ups per second (voluntary context
# switches of all its threads: each is a sleep that something ended) and the CPU seconds
# per wall second of the display server whose pid is in $server; its peak resident memory
# (VmHWM) covers the whole run. Appends "cpu wakeups peakMB serverCPU" to $work/NAME, its
# standard error to $work/NAME.err.
# column NAME N: the median of column N of $work/NAME.

# Processor nanoseconds of all the process's threads (the scheduler's count, finer than the
# 10 ms ticks of /proc/PID/stat).
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{n += $1} END {print n}'; }
switches() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt/ {n += $2} END {print n}'; }
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

run() {
  local name=$1; shift
  "$@" 2>>"$work/$name.err" &
  local pid=$!
  sleep $warmup
  local t0 c0 w0 x0 t1 c1 w1 x1 peak
  t0=$(date +%s.%N); c0=$(cpu_ns $pid); w0=$(switches $pid); x0=$(cpu_ns "$server")
  sleep $((seconds - warmup))
  t1=$(date +%s.%N); c1=$(cpu_ns $pid); w1=$(switches $pid); x1=$(cpu_ns "$server")
  peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  kill $pid; wait $pid 2>/dev/null || true
  awk -v t0="$t0" -v t1="$t1" -v c0="$c0" -v c1="$c1" -v w0="$w0" -v w1="$w1" \
    -v peak="$peak" -v x0="$x0" -v x1="$x1" \
    'BEGIN { d = t1 - t0; printf "%.5f %.1f %.1f %.5f\n", (c1 - c0) / 1e9 / d, (w1 - w0) / d, peak / 1024, (x1 - x0) / 1e9 / d }' \
    >>"$work/$name"
}

column() { awk -v c="$2" '{print $c}' "$work/$1" | median; }

# Sourced by the end-to-end scripts: the check for the tools they drive, a work folder that
# goes at exit together with the processes they started, a private X server, and the
# failure count with its verdict.
#
#   e2e_require TOOL...      exits 77 (skipped) when a tool is not installed; under CI
#                            (CI=true) a failure instead, as a skipped test proves nothing
#   e2e_skip REASON          the same for another reason the test cannot run
#   e2e_begin VARIABLE...    makes $work; at exit ends the pids the named variables hold
#                            then (an empty one is skipped), the X server and every other
#                            process the test started and still runs, removes $work
#   e2e_stop PID...          ends each (SIGTERM, SIGKILL after 5 s) and reaps it
#   e2e_display GEOMETRY     starts the X server (exits 1 when none can be started)
#   fail TEXT / ok TEXT      one line each; fail counts
#   wait_end PID SECONDS     waits for PID to end; its status lands in $status
#   expect_end PID SECONDS OK LATE
#                            ok OK when PID ends in time with status 0; else a failure
#                            naming the status, or LATE when it is still running (then
#                            it is stopped)
#   e2e_end LOG TEXT         with failures shows LOG and exits 1, else prints TEXT

e2e_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

e2e_skip() {
  if [ "${CI:-}" = true ]; then
    echo "FAIL: $1 (scripts/setup installs every tool the tests use)"
    exit 1
  fi
  echo "skipped: $1"
  exit 77
}

e2e_require() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || e2e_skip "$tool is not installed"
  done
}

e2e_begin() {
  e2e_pid_variables="$*"
  work=$(mktemp -d)
  xvfb=
  trap e2e_cleanup EXIT
}

e2e_stop() {
  local pid
  for pid in "$@"; do kill "$pid" 2>/dev/null; done
  for pid in "$@"; do
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
}

e2e_cleanup() {
  local name pids=()
  for name in $e2e_pid_variables xvfb; do
    [ -n "${!name:-}" ] && pids+=("${!name}")
  done
  # A process the test lost track of (a check failed before it ended) would keep a wait
  # for every child from ending.
  e2e_stop "${pids[@]}" $(jobs -p)
  rm -rf "$work"
}

e2e_display() {
  . "$e2e_here/../../scripts/xvfb.sh"
  start_xvfb 140 199 "$1" || { echo "FAIL: no X server could be started"; exit 1; }
  export QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
}

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

wait_end() {
  local pid=$1 limit=$2
  for _ in $(seq $((limit * 20))); do
    if ! kill -0 "$pid" 2>/dev/null; then wait "$pid"; status=$?; return 0; fi
    sleep 0.05
  done
  return 1
}

expect_end() {
  if wait_end "$1" "$2"; then
    [ "$status" -eq 0 ] && ok "$3" || fail "$3: no, it ended with status $status"
  else
    fail "$4"
    e2e_stop "$1"
  fi
}

e2e_end() {
  if [ $failures -ne 0 ]; then
    echo "log:"; cat "$1"
    exit 1
  fi
  echo "$2"
}

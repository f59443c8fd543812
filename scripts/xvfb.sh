# Sourced by the scripts that need a private X server (scripts/run, end-to-end tests,
# benchmarks).
#
# start_xvfb FIRST LAST GEOMETRY [ARG...]: starts Xvfb on the first free display number in
# FIRST..LAST with a screen of GEOMETRY (e.g. 640x480x24) and any further server arguments
# (e.g. -screen 1 640x480x24), exports DISPLAY, and leaves the server's pid in $xvfb.
# Returns 1 when no server could be started.
#
# -noreset: the server would otherwise reset whenever its last client leaves, and a program
# starting during the reset could not connect. Another script may take the same free number
# at the same moment; then one of the two servers fails to start, and the loser tries the
# next number rather than talking to the winner's server.
start_xvfb() {
  local n
  for n in $(seq "$1" "$2"); do
    [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] && continue
    Xvfb ":$n" -screen 0 "$3" "${@:4}" -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=:$n
    for _ in $(seq 100); do
      kill -0 "$xvfb" 2>/dev/null || break
      xdotool getmouselocation >/dev/null 2>&1 && return 0
      sleep 0.05
    done
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    xvfb=
  done
  return 1
}

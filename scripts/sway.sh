# Sourced by the scripts that need a private Wayland compositor (end-to-end tests,
# benchmarks).
#
# start_sway GEOMETRY...: starts a headless sway as the user nobody (the compositor is not
# meant to run as root, and CI is root) with one output of each GEOMETRY (e.g. 1920x1080),
# side by side from the left, named HEADLESS-1, HEADLESS-2, ...; exports WAYLAND_DISPLAY
# and SWAYSOCK (full paths: root may connect too) and an XDG_RUNTIME_DIR of the clients'
# own, and leaves the compositor's pid in $sway and its folder in $sway_dir. Returns 1 when it could not be
# started. The words of $sway_options, if set, go to sway's command line. stop_sway ends it
# and removes the folder.
start_sway() {
  sway_dir=$(mktemp -d)
  chmod 755 "$sway_dir"
  mkdir -m 700 "$sway_dir/run" "$sway_dir/client"
  chown nobody "$sway_dir/run"
  local config=$sway_dir/config x=0 n=0 geometry
  echo "xwayland disable" >"$config"
  for geometry in "$@"; do
    n=$((n + 1))
    echo "output HEADLESS-$n resolution $geometry position $x,0" >>"$config"
    x=$((x + ${geometry%x*}))
  done
  setpriv --reuid=nobody --regid=nogroup --clear-groups -- env -i PATH=/usr/bin:/bin \
    HOME="$sway_dir/run" XDG_RUNTIME_DIR="$sway_dir/run" WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman sway ${sway_options:-} -c "$config" >"$sway_dir/sway.log" 2>&1 &
  sway=$!
  local socket
  for _ in $(seq 100); do
    kill -0 "$sway" 2>/dev/null || break
    socket=$(cd "$sway_dir/run" && ls sway-ipc.*.sock 2>/dev/null | head -n 1)
    [ -n "$socket" ] && [ -S "$sway_dir/run/wayland-1" ] && break
    sleep 0.05
  done
  if [ -z "${socket:-}" ] || ! kill -0 "$sway" 2>/dev/null; then
    cat "$sway_dir/sway.log" >&2
    stop_sway
    return 1
  fi
  export WAYLAND_DISPLAY=$sway_dir/run/wayland-1 SWAYSOCK=$sway_dir/run/$socket
  export XDG_RUNTIME_DIR=$sway_dir/client
  # The headless backend starts with one output; the others are made on request and take
  # their configuration as they come.
  for ((n = 1; n < $#; n++)); do swaymsg create_output >/dev/null || return 1; done
  for _ in $(seq 100); do
    [ "$(swaymsg -t get_outputs -r | grep -c '"name"')" -ge $# ] && return 0
    sleep 0.05
  done
  return 1
}

stop_sway() {
  [ -n "${sway:-}" ] && kill "$sway" 2>/dev/null && wait "$sway" 2>/dev/null
  sway=
  [ -n "${sway_dir:-}" ] && rm -rf "$sway_dir"
  sway_dir=
}

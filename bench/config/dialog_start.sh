#!/usr/bin/env bash
# Time from starting `velmorandi /c` to the settings dialog on screen, beside the time a
# trivial X program (xmessage) takes from start to its window on screen, on the same Xvfb
# in the same run. Target for the dialog: under 400 ms (median).
#
# usage: bench/config/dialog_start.sh [RUNS]   (default 5; run from anywhere after a build)
#
# "On screen" is the moment `xdotool search --onlyvisible` first finds the window by its
# title; both programs are polled the same way, so the poll's own delay (a few ms) sits in
# both figures. One untimed run of each warms the file cache first. The dialog runs from
# a temporary copy of the executable's folder and is ended by SIGTERM, so nothing is
# written. This reports; it does not fail.
set -euo pipefail
cd "$(dirname "$0")/../.."
runs=${1:-5}
program=build/bin/velmorandi
[ -x "$program" ] || { echo "build the program first (build/bin/velmorandi)"; exit 1; }
for tool in Xvfb xdotool xmessage; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 1; }
done

work=$(mktemp -d)
# The user files of the copies below are read from their data folders, not from a real home.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share XDG_STATE_HOME=$work/home/.local/state
xvfb=
cleanup() { [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
cp "$program" "$work/velmorandi"
cp -r build/bin/VelmorandiScrData "$work/"
export QT_QPA_PLATFORM=xcb
. scripts/xvfb.sh
start_xvfb 150 199 800x600x24 || { echo "no X server could be started"; exit 1; }

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# start_to_window TITLE COMMAND...: milliseconds from starting COMMAND to a visible window
# titled TITLE; the program is then ended.
start_to_window() {
  local title=$1; shift
  local start pid elapsed=""
  start=$(now_ms)
  "$@" >/dev/null 2>>"$work/stderr.log" &
  pid=$!
  for _ in $(seq 2000); do
    if xdotool search --onlyvisible --name "^$title\$" >/dev/null 2>&1; then
      elapsed=$(( $(now_ms) - start ))
      break
    fi
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "${elapsed:-timeout}"
}

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

dialog_title="ヴェルモランディの設定"
start_to_window "$dialog_title" "$work/velmorandi" /c >/dev/null
start_to_window xmessage xmessage -geometry 200x80 reference >/dev/null
dialog=()
reference=()
for _ in $(seq "$runs"); do
  dialog+=("$(start_to_window "$dialog_title" "$work/velmorandi" /c)")
  reference+=("$(start_to_window xmessage xmessage -geometry 200x80 reference)")
done
echo "velmorandi /c to the dialog on screen: ${dialog[*]} ms; median $(median "${dialog[@]}") ms (target < 400)"
echo "reference, xmessage to its window:     ${reference[*]} ms; median $(median "${reference[@]}") ms"
if grep -qv -e XDG_RUNTIME_DIR -e "Missing charsets" "$work/stderr.log"; then echo "the programs said:"; grep -v -e XDG_RUNTIME_DIR -e "Missing charsets" "$work/stderr.log"; fi

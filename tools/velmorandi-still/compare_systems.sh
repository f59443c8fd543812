#!/usr/bin/env bash
# compare_systems.sh OUTDIR [SEED:TICKS ...]: draws the same seeds and ticks with the Linux
# build's velmorandi-still (build/) and the Windows build's under Wine (build-windows/, on an
# X server of its own with GLX), and sets each pair side by side with compare_frames.py.
# OUTDIR gets both frames and the difference map of each pair as PNG.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$1
shift
pairs=("$@")
[ ${#pairs[@]} -gt 0 ] || pairs=(1:1 1:40 1:120 1:300 7:1 7:40 7:120 7:300 20:1 20:40 20:120 20:300)
mkdir -p "$out"
if [ -z "${VM_WINE_DISPLAY:-}" ]; then
  . "$root/scripts/xvfb.sh"
  start_xvfb 100 139 640x480x24 +extension GLX || { echo "no X server for Wine" >&2; exit 1; }
  trap 'kill "$xvfb" 2>/dev/null || true' EXIT
  export VM_WINE_DISPLAY=$DISPLAY
fi
data="Z:$root/build-windows/bin/VelmorandiScrData"
for pair in "${pairs[@]}"; do
  seed=${pair%%:*} ticks=${pair##*:} name="s${pair%%:*}_t${pair##*:}"
  "$root/build/bin/velmorandi-still" --seed "$seed" --ticks "$ticks" --out "$out/$name-linux.ppm"
  "$root/scripts/wine-run" "$root/build-windows/bin/velmorandi-still.exe" --seed "$seed" \
    --ticks "$ticks" --data "$data" --out "Z:$out/$name-windows.ppm"
  echo "seed $seed, tick $ticks (first: Linux, second: Windows under Wine)"
  python3 "$root/tools/velmorandi-still/compare_frames.py" "$out/$name-linux.ppm" \
    "$out/$name-windows.ppm" "$out/$name-diff.ppm"
  for f in linux windows diff; do
    convert "$out/$name-$f.ppm" "$out/$name-$f.png" && rm "$out/$name-$f.ppm"
  done
done

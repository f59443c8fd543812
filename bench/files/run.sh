#!/usr/bin/env bash
# Peak memory of the saver's start with big user files, beside the same start without them.
#
# usage: bench/files/run.sh [MEGABYTES] [ROUNDS]   (defaults: 50 MB, 3 rounds)
#
# Writes a Settei.ini and a word list (追加問題.txt) of MEGABYTES in several shapes: many
# keys of a long wallpaper list, tiny key lines, blank lines, one long line; valid groups in
# UTF-8 and in CP932, the shortest valid groups, junk lines, blank lines, one long line.
# Each goes into a copy of the data folder (the other files linked) and velmorandi-still
# draws three ticks from it, under /usr/bin/time; the reference is the same run without the
# file. Reports the median peak resident memory of each and what the file costs on top of
# the reference, as a multiple of its size. Target: about 2 or less for every shape. This
# reports; it does not fail.
set -euo pipefail
cd "$(dirname "$0")/../.."
megabytes=${1:-50}
rounds=${2:-3}
still=${VELMORANDI_STILL:-build/bin/velmorandi-still}
data=$(dirname "$still")/VelmorandiScrData
[ -x "$still" ] || { echo "build velmorandi-still first ($still)"; exit 1; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" "$megabytes" <<'PY'
import sys
work, size = sys.argv[1], int(sys.argv[2]) << 20
header = b"".join(b"header line %d\n" % i for i in range(15))
settei = b"[Settei]\nSpeed=3\nWaitTime=4\nIkisakiHyoji=1\nImiHyoji=1\n"
def fill(name, head, unit):
    with open(f"{work}/{name}", "wb") as f:
        f.write(head + unit * ((size - len(head)) // len(unit)))
with open(f"{work}/ini-keys", "wb") as f:
    f.write(settei + b"[Picture]\nAdd=0\nCount=0\n")
    written, i = 0, 0
    while written < size:
        line = b"%d=/home/user/pictures/holiday/img_%07d.jpg\n" % (i + 3, i)
        f.write(line)
        written, i = written + len(line), i + 1
fill("ini-tiny", settei, b"a=b\n")
fill("ini-blank", settei, b"\n")
fill("ini-one-line", settei + b"[Junk]\nX=", b"x")
group = "一二三四\n意味の説明です、長めのもの\nいちにさんし\n"
fill("list-groups", header, group.encode())
fill("list-cp932", header, group.encode("cp932"))
fill("list-shortest", header, "一二三四\nあ\nい\n".encode())
fill("list-junk", header, b"abcdefghij\n")
fill("list-blank", header, b"\n")
fill("list-one-line", header, b"x")
PY

peak_kb() {  # FILE TARGET-NAME: peak RSS in kB of velmorandi-still with FILE as TARGET-NAME
  local folder=$work/data
  rm -rf "$folder" && mkdir "$folder"
  for f in "$data"/*; do ln -s "$(realpath "$f")" "$folder/"; done
  rm -f "$folder/追加問題.txt"
  [ -z "$1" ] || ln -sf "$1" "$folder/$2"
  /usr/bin/time -f %M -o "$work/time" "$still" --seed 1 --ticks 3 --data "$folder" \
    --out "$work/frame.ppm" >/dev/null 2>&1
  cat "$work/time"
}
median() { sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
measure() {  # FILE TARGET-NAME
  for _ in $(seq "$rounds"); do peak_kb "$@"; done | median
}

reference=$(measure "" "")
printf '%-16s %10s %10s %10s\n' shape "peak MB" "file MB" "cost/file"
awk -v r="$reference" 'BEGIN {printf "%-16s %10.1f %10s %10s\n", "reference", r / 1024, "-", "-"}'
for file in "$work"/ini-* "$work"/list-*; do
  case $(basename "$file") in
    ini-*) target=Settei.ini ;;
    *) target=追加問題.txt ;;
  esac
  peak=$(measure "$file" "$target")
  awk -v name="$(basename "$file")" -v p="$peak" -v r="$reference" -v b="$(stat -c %s "$file")" \
    'BEGIN {printf "%-16s %10.1f %10.1f %10.2f\n", name, p / 1024, b / 1048576, (p - r) * 1024 / b}'
done

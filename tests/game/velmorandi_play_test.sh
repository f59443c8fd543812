#!/usr/bin/env bash
# velmorandi_play_test.sh PLAYER: end-to-end checks of the headless player's output.
set -euo pipefail
player=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$player" --seed 1 --boards 100 > "$work/a"
[ "$(tail -n 1 "$work/a")" = '{"event":"end","boards":100,"eaten":8000}' ] || fail "no end event after 100 boards"
[ "$(grep -c '"event":"eat"' "$work/a")" = 8000 ] || fail "eat count"
[ "$(grep -c '"event":"board"' "$work/a")" = 100 ] || fail "board count"
[ "$(grep -c '"event":"sound"' "$work/a")" = 2000 ] || fail "one sound per idiom"
"$player" --seed 1 --boards 100 | cmp -s - "$work/a" || fail "same seed, different output"
"$player" --seed 2 --boards 100 | cmp -s - "$work/a" && fail "different seeds, same output"

# Default settings: the first step at 3000 + 700 ms, on the square of slot 19 position 1.
grep -m1 '"event":"step"' "$work/a" | grep -q '"t":3700,' || fail "first step not at 3700"
sed -n 3,4p "$work/a" | grep -q '"event":"eat","t":3700,.*"slot":19,"pos":1}' || fail "first eat"

# A data folder: Speed 1 (300 ms steps), user priority with three user idioms.
data="$work/VelmorandiScrData"
mkdir -p "$data"
printf '[Settei]\nSpeed=1\nWaitTime=1\n[TuikaJukugo]\nYusen=1\n' > "$data/Settei.ini"
{
  for i in $(seq 1 15); do echo "header $i"; done
  printf '一二三四\n数の並び\nいちにさんし\n春夏秋冬\n四つの季節\nしゅんかしゅうとう\n東西南北\n四つの方角\nとうざいなんぼく\n'
} > "$data/追加問題.txt"
"$player" --seed 5 --boards 1 --data "$data" > "$work/d"
head -n 1 "$work/d" | grep -q '"idioms":\[17[0-2],17[0-2],17[0-2],' || fail "user idioms not first"
grep -m1 '"event":"step"' "$work/d" | grep -q '"t":3300,' || fail "Speed=1 not used"
grep -q '"idiom":"春夏秋冬","reading":"しゅんかしゅうとう","meaning":"四つの季節"' "$work/d" || fail "user entry texts"
[ "$(tail -n 1 "$work/d")" = '{"event":"end","boards":1,"eaten":80}' ] || fail "data run end"

# Settings are used as read: without a wait the next board would start before the last
# flights land, and a step interval of 2^31 ms takes days of game time.
for settings in 'WaitTime=-1' 'Speed=2147483647' 'Speed=2147483647\nWaitTime=2147483647'; do
  printf "[Settei]\n$settings\n" > "$data/Settei.ini"
  timeout 60 "$player" --seed 2 --boards 3 --data "$data" > "$work/e" || fail "$settings: no end"
  [ "$(tail -n 1 "$work/e")" = '{"event":"end","boards":3,"eaten":240}' ] || fail "$settings: end event"
  [ "$(grep -c '"event":"board"' "$work/e")" = 3 ] || fail "$settings: board count"
done

"$player" --seed 1 > /dev/null 2>&1 && fail "missing --boards accepted"
"$player" --seed 1 --boards 1 --data "$work/none" > /dev/null 2>&1 && fail "missing data folder accepted"
echo "velmorandi-play: all checks passed"

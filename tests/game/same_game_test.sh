#!/usr/bin/env bash
# same_game_test.sh WINE-RUN PLAYER.exe NATIVE-PLAYER: the Windows program plays the same
# games as the Linux one: for the same seeds, the headless players' event lines are equal
# (the Windows one ends its lines with CR LF).
set -euo pipefail
wine_run=$1
player=$2
native=$3
[ -x "$native" ] || { echo "no native player at $native"; exit 77; }
for seed in 1 7 20; do
  if ! cmp -s <("$wine_run" "$player" --seed "$seed" --boards 3 | tr -d '\r') \
              <("$native" --seed "$seed" --boards 3); then
    echo "FAIL: seed $seed plays differently on Windows"
    exit 1
  fi
done
echo "the same seeds play the same games on both systems"

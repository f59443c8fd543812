#!/usr/bin/env bash
# usage: on_xvfb.sh SUITE: runs the suite on a 1920 x 1080 Xvfb, then on one without the
# RENDER extension. Exits 77 (skipped) when Xvfb is missing, outside CI.
set -u
. "$(dirname "$0")/../../support/e2e.sh"
e2e_require Xvfb
. "$(dirname "$0")/../../../scripts/xvfb.sh"
status=0
for server in "" "-extension RENDER"; do
  # shellcheck disable=SC2086
  start_xvfb 140 199 1920x1080x24 $server || { echo "FAIL: no X server could be started"; exit 1; }
  echo "== Xvfb ${server:-with every extension}"
  "$1" || status=1
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null
done
exit $status

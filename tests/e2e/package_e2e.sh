#!/usr/bin/env bash
# The Debian package: built by cpack, unpacked with dpkg -x into a scratch root that is then
# made read-only; the files the desktop looks for; the installed hack run the way MATE runs
# its hacks (only HOME, DISPLAY, PATH, LANG, from /) into a window the test makes: it draws
# there with no window of its own, follows the window's size, ends with the window, goes on
# after SIGSTOP/SIGCONT, and ends with status 0 on SIGTERM.
#
# usage: package_e2e.sh BUILD_DIR X11_HELPER
# Exits 77 (skipped) when a tool is missing.
set -u
build=$1
helper=$2
e2e_dir=$(cd "$(dirname "$0")" && pwd)
. "$e2e_dir/desktop_lib.sh"
need cpack dpkg Xvfb xdotool xwininfo import convert python3 desktop-file-validate

work=$(mktemp -d)
xvfb=
hack=
cleanup() {
  [ -n "$hack" ] && kill "$hack" 2>/dev/null
  [ -n "${window_PID:-}" ] && kill "$window_PID" 2>/dev/null
  [ -n "${window2_PID:-}" ] && kill "$window2_PID" 2>/dev/null
  [ -n "${helper1:-}" ] && kill "$helper1" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

if ! (cd "$build" && cpack -G DEB -B "$work/pkg") >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  echo "FAIL: cpack could not build the package"
  exit 1
fi
root=$work/root
dpkg -x "$work"/pkg/*.deb "$root" || { echo "FAIL: dpkg -x"; exit 1; }
chmod -R a-w "$root"
usr=$root/usr

# --- What is installed where --------------------------------------------------------
[ "$(ls "$usr/bin")" = velmorandi ] || fail "bin/ holds: $(ls "$usr/bin" | tr '\n' ' ')"
[ "$(readlink -f "$usr/libexec/xscreensaver/velmorandi")" = "$(readlink -f "$usr/bin/velmorandi")" ] ||
  fail "libexec/xscreensaver/velmorandi is not the program"
for f in velmorandi/data.qda velmorandi/Kabe_0.jpg velmorandi/Kabe_2.jpg velmorandi/seikai.wav \
  velmorandi/ReadMe.txt velmorandi/fonts.conf velmorandi/追加問題.txt \
  xscreensaver/config/velmorandi.xml man/man6/velmorandi.6 \
  icons/hicolor/scalable/apps/velmorandi.svg; do
  [ -f "$usr/share/$f" ] || fail "share/$f is missing"
done
desktop-file-validate "$usr/share/applications/screensavers/velmorandi.desktop" \
  "$usr/share/applications/velmorandi.desktop" || fail "a .desktop file is not valid"
grep -qx 'Exec=velmorandi --root' "$usr/share/applications/screensavers/velmorandi.desktop" ||
  fail "the screensaver entry does not run the hack"
# Every option the settings page passes is one the program takes.
"$usr/bin/velmorandi" --help >"$work/help.txt" || fail "--help did not exit with 0"
python3 - "$usr/share/xscreensaver/config/velmorandi.xml" "$work/help.txt" <<'PY' || fail "velmorandi.xml"
import re, sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
help_text = open(sys.argv[2]).read()
assert root.tag == "screensaver" and root.get("name") == "velmorandi", "root element"
assert root.find("command").get("arg") == "--root", "command"
for e in root.iter():
    for key in ("arg", "arg-set", "arg-unset"):
        if e.get(key):
            option = e.get(key).split()[0]
            assert re.search(r"\s" + re.escape(option) + r"\b", help_text), option
PY
"$usr/bin/velmorandi" --no-such-option 2>"$work/bad.txt"
[ $? -eq 2 ] && [ "$(wc -l <"$work/bad.txt")" -gt 3 ] || fail "a bad option does not exit 2 with the usage"

# --- The installed hack in a window of the test's ------------------------------------
. "$e2e_dir/../../scripts/xvfb.sh"
start_xvfb 140 199 640x480x24 || { echo "FAIL: no X server could be started"; exit 1; }
mkdir "$work/home"
run_hack() {  # ARG...: the installed hack in MATE's environment, from /
  (cd / && exec env -i HOME="$work/home" DISPLAY="$DISPLAY" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    ${XSCREENSAVER_WINDOW:+XSCREENSAVER_WINDOW=$XSCREENSAVER_WINDOW} \
    "$usr/libexec/xscreensaver/velmorandi" "$@") 2>>"$work/hack.err" &
  hack=$!
}

coproc window { "$helper" window 320 240; }
helper1=$window_PID
read -r wid <&"${window[0]}"
top_windows=$(xwininfo -root -children | grep -c '^ *0x')
XSCREENSAVER_WINDOW=$(printf '0x%x' "$wid") run_hack --root
if wait_picture first 320x240+10+10; then
  ok "the hack draws into \$XSCREENSAVER_WINDOW"
  moves first 320x240+10+10 && ok "the picture moves" || fail "the picture does not move"
else
  fail "nothing drawn into the window"; cat "$work/hack.err"
fi
[ "$(xwininfo -root -children | grep -c '^ *0x')" = "$top_windows" ] ||
  fail "the hack made a window of its own"
echo "resize 400 200" >&"${window[1]}"
sleep 2
# 400 x 200: the frame is 266 x 200 in the middle, with black bars of 67 pixels each side.
[ "$(colours leftbar 60x200+12+10)" -le 2 ] && [ "$(colours middle 200x200+110+10)" -gt 100 ] &&
  ok "follows the window's size, letterboxed" || fail "not letterboxed in the resized window"
echo destroy >&"${window[1]}"
if wait_end "$hack" 20; then
  [ "$status" -eq 0 ] && ok "ends with 0 when its window is destroyed" ||
    fail "status $status after the window was destroyed"
else
  fail "still running after its window was destroyed"
fi
hack=
kill "$helper1" 2>/dev/null
wait "$helper1" 2>/dev/null

coproc window2 { "$helper" window 200 150; }
read -r wid2 <&"${window2[0]}"
run_hack --window-id "$wid2" --speed 1 --no-chime
wait_picture before 200x150+10+10 || fail "nothing drawn into --window-id"
kill -STOP "$hack"
sleep 1
kill -CONT "$hack"
sleep 1
colours after 200x150+10+10 >/dev/null
moves after 200x150+10+10 && ok "goes on after SIGSTOP and SIGCONT" || fail "stopped moving after SIGCONT"
kill -TERM "$hack"
if wait_end "$hack" 20; then
  [ "$status" -eq 0 ] && ok "ends with 0 on SIGTERM" || fail "status $status on SIGTERM"
else
  fail "SIGTERM did not end it"
fi
hack=
[ -z "$(find "$root" -newer "$work/help.txt" -print -quit)" ] || fail "something was written into the installation"

[ "$failures" -eq 0 ] || exit 1
echo "package: all checks passed"
